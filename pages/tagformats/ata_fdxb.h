// The FDX-B page of the T5577 container: writes the identity with the T5577's FDX-B command.
#pragma once

#include "pages/tagformats/fdxb_page.h"

namespace rivelo {

class CAtaFdxb : public FdxbPage {
  Q_OBJECT

 public:
  explicit CAtaFdxb(QWidget* parent = nullptr);
};

}  // namespace rivelo

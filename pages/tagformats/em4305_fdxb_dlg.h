// The FDX-B page of the EM4305 container: writes the identity with the EM4305's FDX-B command.
#pragma once

#include "pages/tagformats/fdxb_page.h"

namespace rivelo {

class EM4305FdxbDlg : public FdxbPage {
  Q_OBJECT

 public:
  explicit EM4305FdxbDlg(QWidget* parent = nullptr);
};

}  // namespace rivelo

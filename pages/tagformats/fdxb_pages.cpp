#include "batch/fdxb_profile.h"
#include "pages/tagformats/ata_fdxb.h"
#include "pages/tagformats/em4305_fdxb_dlg.h"

namespace rivelo {

CAtaFdxb::CAtaFdxb(QWidget* parent) : FdxbPage(texts::fdxb::AtaPage(), T5577FdxbWrite(), parent) {}

EM4305FdxbDlg::EM4305FdxbDlg(QWidget* parent) : FdxbPage(texts::fdxb::Em4305Page(), Em4305FdxbWrite(), parent) {}

}  // namespace rivelo

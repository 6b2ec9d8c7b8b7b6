// The seam through which pages reach the shell's containers: the shell knows the containers
// and no page, the pages library knows the pages, and each program's main joins the two.
#pragma once

namespace rivelo {

class CAtaTabDlg;
class EM4305TabDlg;

// Creates every page and adds it to its container, in tab order. Called once by the view.
using PageInstaller = void (*)(CAtaTabDlg& ata, EM4305TabDlg& em4305);

}  // namespace rivelo

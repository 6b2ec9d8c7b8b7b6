// Where the pages join their containers.
#pragma once

namespace rivelo {

class CAtaTabDlg;
class EM4305TabDlg;

// Creates every page and adds it to its container, in tab order. Called once by the view.
void AddPages(CAtaTabDlg& ata, EM4305TabDlg& em4305);

}  // namespace rivelo

// Where the pages join the shell's containers. The programs hand AddPages to RunApplication.
#pragma once

namespace rivelo {

class CAtaTabDlg;
class EM4305TabDlg;

// Creates every page and adds it to its container, in tab order (a PageInstaller).
void AddPages(CAtaTabDlg& ata, EM4305TabDlg& em4305);

// Adds the pages' dialogs to the Card menu (AddPages does it too).
void AddCardMenuEntries();

}  // namespace rivelo

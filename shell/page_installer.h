// The seam through which pages reach the shell's containers: the shell knows the containers
// and no page, the pages library knows the pages, and each program's main joins the two.
#pragma once

class QMenu;
class QWidget;

namespace rivelo {

class CAtaTabDlg;
class EM4305TabDlg;

// Creates every page and adds it to its container, in tab order. Called once by the view.
using PageInstaller = void (*)(CAtaTabDlg& ata, EM4305TabDlg& em4305);

// Adds the pages' own entries (dialogs of theirs) to the Card menu, after the shell's. Called
// once, with the main window as the dialogs' parent.
using MenuInstaller = void (*)(QMenu& card, QWidget& window);

}  // namespace rivelo

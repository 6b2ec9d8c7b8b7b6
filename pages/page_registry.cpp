#include "pages/page_registry.h"

#include <QMenu>
#include <QString>

#include <type_traits>

#include "pages/common/tag_passwords.h"
#include "resources/texts_inspect.h"
#include "resources/texts_more_formats.h"
#include "resources/texts_shell.h"
#include "resources/texts_tag_passwords.h"
#include "shell/card_menu.h"
#include "shell/page_installer.h"
#include "shell/tab_containers.h"

// Page headers: one include per page.
#include "pages/em4100/ata_em4100_dlg.h"
#include "pages/em4100/em4305_id_dlg.h"
#include "pages/em4305/em4305_dlg.h"
#include "pages/inspect/inspect_dlg.h"
#include "pages/moreformats/more_formats_page.h"
#include "pages/t5577/ata_dlg.h"
#include "pages/tagformats/ata_fdxa.h"
#include "pages/tagformats/ata_fdxb.h"
#include "pages/tagformats/ata_hid.h"
#include "pages/tagformats/em4305_fdxb_dlg.h"
#ifdef RIVELO_HAS_REGISTRY
#include "pages/registry/registry_dlg.h"
#include "resources/texts_registry.h"
#endif

namespace rivelo {

// Keeps the registry in step with the seam the shell calls it through.
static_assert(std::is_same_v<decltype(&AddPages), PageInstaller>);

// One line per page, in tab order, e.g.
//   em4305.AddPage(new EM4305IdDlg, QString::fromUtf8(shell_text::TabEm4305Em4100));
// T5577 container: " ATA5567 ", " ID卡（EM4100） ", " FDX-B（ISO11784/85） ", " FDX-A（FECAVA） ",
// " HID兼容卡 ", " More formats " (" 更多格式 "). EM4305 container: " ID（EM4100） ", then " EM4305 "
// and " FDX-B（ISO11784/85） ".
void AddPages([[maybe_unused]] CAtaTabDlg& ata, [[maybe_unused]] EM4305TabDlg& em4305) {
  ata.AddPage(new CAtaDlg, QString::fromUtf8(shell_text::TabAta5567));
  ata.AddPage(new CAtaEM4100Dlg, QString::fromUtf8(shell_text::TabAtaEm4100));
  ata.AddPage(new CAtaFdxb, QString::fromUtf8(shell_text::TabFdxb));
  ata.AddPage(new CAtaFdxa, QString::fromUtf8(shell_text::TabFdxa));
  ata.AddPage(new CHidDlg, QString::fromUtf8(shell_text::TabHid));
  ata.AddPage(new MoreFormatsPage, QString::fromUtf8(texts::more_formats::Tab()));
  em4305.AddPage(new EM4305IdDlg, QString::fromUtf8(shell_text::TabEm4305Em4100));
  em4305.AddPage(new EM4305Dlg, QString::fromUtf8(shell_text::TabEm4305));
  em4305.AddPage(new EM4305FdxbDlg, QString::fromUtf8(shell_text::TabFdxb));
  AddCardMenuEntries();
#ifdef RIVELO_HAS_REGISTRY
  AddFileMenuEntry(texts::registry::MenuItem, ShowRegistryDialog);
#endif
}

// One line per entry, in menu order.
void AddCardMenuEntries() {
  AddCardMenuEntry(texts::tag_passwords::MenuItem, OpenTagPasswords);
  AddCardMenuEntry(texts::inspect::MenuItem, OpenInspectDialog);
}

}  // namespace rivelo

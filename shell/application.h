// The programs' one entry: brisendor and corvane differ only in the language they pass.
#pragma once

#include "resources/language.h"
#include "shell/page_installer.h"

namespace rivelo {

int RunApplication(int argc, char** argv, Language language, PageInstaller installPages,
                   MenuInstaller installMenus = nullptr);

}  // namespace rivelo

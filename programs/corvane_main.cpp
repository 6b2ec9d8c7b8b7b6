// The Chinese-labelled program.
#include "pages/page_registry.h"
#include "shell/application.h"

int main(int argc, char** argv) {
  return rivelo::RunApplication(argc, argv, rivelo::Language::Chinese, rivelo::AddPages, rivelo::AddMenuEntries);
}

#include "shell/application.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QStyle>

#include <cstdio>
#include <memory>

#include "reader/discovery.h"
#include "resources/texts_shell.h"
#include "shell/command_line.h"
#include "shell/dialogs.h"
#include "shell/fonts.h"
#include "shell/main_frame.h"
#if RIVELO_HAS_SIM
#include "shell/sim_window.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#endif

namespace rivelo {
namespace {

QString Q(const TextPair& text) { return QString::fromUtf8(Text(text)); }

#if RIVELO_HAS_SIM
// The in-process virtual reader of --simulate.
struct Simulation {
  sim::VirtualReader reader;
  std::unique_ptr<sim::PtyServer> server;
  std::string error;
};

std::unique_ptr<Simulation> StartSimulation(const std::vector<std::string>& tags) {
  auto simulation = std::make_unique<Simulation>();
  for (const std::string& tag : tags) {
    std::string error;
    if (simulation->reader.AddTag(tag, &error) < 0) {
      std::fprintf(stderr, "tag %s: %s\n", tag.c_str(), error.c_str());
    }
  }
  simulation->server = std::make_unique<sim::PtyServer>(simulation->reader);
  if (!simulation->server->Start()) simulation->server.reset();
  return simulation;
}
#else
struct Simulation {};
#endif

}  // namespace

int RunApplication(int argc, char** argv, Language language, PageInstaller installPages, MenuInstaller installMenus) {
  SetLanguage(language);
  QApplication app(argc, argv);
  ApplyApplicationFont();
  // The installed icon and desktop entry carry the program's name (brisendor, corvane); a
  // build that is not installed keeps a stock icon.
  const QString program = QCoreApplication::applicationName();
  QApplication::setWindowIcon(QIcon::fromTheme(program, QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon)));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.rivelo.") + program);

  std::vector<std::string> arguments;
  const QStringList qtArguments = QApplication::arguments();
  for (qsizetype i = 1; i < qtArguments.size(); ++i) arguments.push_back(qtArguments[i].toStdString());
  const ShellOptions options = ParseCommandLine(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "%s\n%s", options.error.c_str(), UsageText());
    return 2;
  }

  std::unique_ptr<Simulation> simulation;
  std::vector<std::string> first;
#if !RIVELO_HAS_SIM
  if (options.simulate) {
    std::fprintf(stderr, "This build has no virtual reader (--simulate).\n");
    return 2;
  }
#else
  if (options.simulate) {
    simulation = StartSimulation(options.simulatedTags);
    if (simulation->server) first.push_back(simulation->server->Path());
  }
#endif
  const std::vector<std::string> last = options.ports;
  CMainFrame frame([first, last] { return PortsToScan(first, last); }, installPages);
  if (installMenus) installMenus(frame.CardMenu(), frame);
#if RIVELO_HAS_SIM
  if (options.simulate) {
    if (simulation->server) {
      auto* window = new CVirtualReaderWindow(simulation->reader, &frame);
      QMenu* menu = frame.AddMenuBeforeHelp(Q(shell_text::SimulationMenu));
      menu->addAction(Q(shell_text::SimulationItem), window, &CVirtualReaderWindow::Open);
    } else {
      ShowMessage(&frame, Q(shell_text::SimStartError), Q(shell_text::PortListErrorCaption), MessageIcon::Error,
                  MessageButtons::Ok);
    }
  }
#endif
  frame.show();
  const int code = QApplication::exec();
  DisconnectDevice();  // closes the port before the virtual reader goes away
  return code;
}

}  // namespace rivelo

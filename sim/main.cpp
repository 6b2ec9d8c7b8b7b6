// rivelo-sim: a virtual reader on a pseudo-terminal, for trying the program and the
// command line tool without the device.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>

#include "sim/final_state.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "sim/virtual_reader.h"

int main(int argc, char** argv) {
  using namespace rivelo::sim;
  SimOptions options;
  std::string error;
  if (!ParseSimOptions({argv + 1, argv + argc}, &options, &error)) {
    std::cerr << "rivelo-sim: " << error << "\n" << SimUsage;
    return 2;
  }
  if (options.help) {
    std::cout << SimUsage;
    return 0;
  }
  // A state that could not be written at the end would be lost: its place is checked first.
  if (!CheckStatePath(options.stateFile, &error)) {
    std::cerr << "rivelo-sim: " << error << "\n";
    return 2;
  }
  VirtualReader reader;
  if (!ApplySimOptions(options, reader, &error)) {
    std::cerr << "rivelo-sim: " << error << "\n";
    return 2;
  }
  // Block the stop signals before the serving thread starts, so that only sigwait sees them
  // and every way of ending writes the final state. A closed terminal ends it too.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  PtyServer server(reader);
  if (!server.Start()) {
    std::cerr << "rivelo-sim: cannot open a pseudo-terminal\n";
    return 1;
  }
  std::printf("%s\n", server.Path().c_str());
  std::fflush(stdout);
  for (const auto& t : reader.Tags())
    std::cerr << "tag " << t.id << (t.onReader ? " (on the reader): " : ": ") << t.description << "\n";
  if (reader.FeederRemaining() > 0)
    std::cerr << "feeder: " << reader.FeederRemaining() << " more blanks\n";

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.Stop();
  if (!WriteStateText(StateText(reader.State()), options.stateFile, &error)) {
    std::cerr << "rivelo-sim: " << error << "\n";
    return 1;
  }
  return 0;
}

// rivelo: the reader link for scripts and headless stations.
#include <iostream>
#include <string>
#include <vector>

#include "cli/rivelo.h"

int main(int argc, char** argv) {
  return rivelo::cli::RunRivelo(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

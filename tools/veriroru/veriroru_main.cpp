// veriroru: the tools program of the suite (backup, restore, check and
// reindex of the data files). See docs/tools-program.md.
#include <iostream>
#include <string>
#include <vector>

#include "tools/veriroru/command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return vz::veriroru::RunCommandLine(vz::veriroru::ParseCommandLine(arguments), std::cout,
                                      std::cerr);
}

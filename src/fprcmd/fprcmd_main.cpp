// fprcmd: commands, operations and scripts to a device, and a frame decoder.
#include <iostream>
#include <string>
#include <vector>

#include "FprCmdApp.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return FprCmdMain(args, std::cin, std::cout, std::cerr);
}

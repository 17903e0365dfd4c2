// fprcmd: sends one command to a device and prints what came back.
#include <iostream>
#include <string>
#include <vector>

#include "FprCmdApp.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  TFprCmdOptions options;
  std::string error;
  if (!ParseFprCmdArgs(args, options, error)) {
    std::cerr << "fprcmd: " << error << "\n\n" << FprCmdUsage();
    return 2;
  }
  if (options.Help) {
    std::cout << FprCmdUsage();
    return 0;
  }
  auto device = CreateFprCmdDevice(options);
  return RunFprCmd(options, *device, std::cout);
}

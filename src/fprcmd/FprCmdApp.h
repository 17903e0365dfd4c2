#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"
#include "FprCmdOptions.h"

// fprcmd: commands and operations to a device from a shell.

using TDeviceFactory = std::function<std::unique_ptr<TBaseDevice>(const TFprCmdOptions&)>;

// The transport the options name, with its link parameters set.
std::unique_ptr<TBaseDevice> CreateFprCmdDevice(const TFprCmdOptions& options);

// The whole program: the arguments (without the program name) in, the exit
// status out (0 success, 1 failure, 2 wrong arguments or refused input). The
// device is created only once every step has been read and checked.
int FprCmdMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, const TDeviceFactory& factory = CreateFprCmdDevice);

// Runs a raw command, an operation or a script as the options say, over
// `device`: connects, runs, prints the report and disconnects.
int RunFprCmd(const TFprCmdOptions& options, TBaseDevice& device, std::istream& in,
              std::ostream& out, std::ostream& err);
// The same with argument errors written to `out` too.
int RunFprCmd(const TFprCmdOptions& options, TBaseDevice& device, std::ostream& out);

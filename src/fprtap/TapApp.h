#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "TapRelay.h"

// fprtap: the arguments (without the program name) in, the exit status out
// (0 ended normally, 1 a link failed or could not be opened, 2 wrong
// arguments or an unusable file). Exchanges and the summary go to `out`,
// where the host program finds the tap and how links come and go to `err`.
// Raising `stop` ends the relaying; the summary is printed then.
int TapMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const TTapStop& stop);

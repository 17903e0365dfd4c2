// fprtap: relays a host program's link to the device and shows the exchanges.
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "TapApp.h"

namespace {

const TTapStop* gStop = nullptr;

void OnSignal(int) {
  if (gStop) gStop->Raise();
}

}  // namespace

int main(int argc, char** argv) {
  TTapStop stop;
  gStop = &stop;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
  // Output piped into a program that ended (| head) or a peer gone must not
  // kill the tap before its summary.
  ::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = TapMain(args, std::cout, std::cerr, stop);
  gStop = nullptr;
  return status;
}

// fprtap's command line: the link sides it takes and the mistakes it refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "TapOptions.h"

namespace {

bool Parse(const std::string& line, TTapOptions& o, std::string& error) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return ParseTapArgs(words, o, error);
}

// Every other test of the tap parses its link sides with the same function.
TEST(TapOptions, RefusesWhatCannotBeMeant) {
  const std::pair<const char*, const char*> cases[] = {
      {"--device h:1", "Give the host side"},
      {"--listen 5000", "Give the device side"},
      {"--listen 5000 --pty --serial COM1", "only one host side"},
      {"--listen 5000 --device h:1 --serial COM1", "only one device side"},
      {"--listen 65536 --device h:1", "port from 0 to 65535"},
      {"--listen :5 --device h:1", "port from 0 to 65535"},
      {"--listen 5000 --device h:0", "port from 1 to 65535"},
      {"--listen 5000 --device 4999", "HOST:PORT"},
      {"--pty --serial COM1@28800", "the speed must be one of 110 300"},
      {"--pty --serial @9600", "needs a port name"},
      {"--listen 1 --device h:1 --views hex,", "--views: unknown view ''"},
      {"--read c.tap --listen 1", "--read shows a saved capture"},
      {"--listen 1 --device h:1 --quiet --no-summary", "would show nothing"},
      {"--listen 1 --device h:1 extra", "extra"},
  };
  for (const auto& [args, message] : cases) {
    TTapOptions o;
    std::string error;
    EXPECT_FALSE(Parse(args, o, error)) << args;
    EXPECT_NE(error.find(message), std::string::npos) << args << ": " << error;
  }
}

}  // namespace

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"
#include "ScriptReader.h"
#include "uPrintData.h"

// One command exchange as the device reported it: the last request frame sent
// (a retry sends the same frame again), every reply byte of all attempts, and
// the duration line.
struct TExchange {
  std::string Sent;
  std::string Received;
  std::string DurationLine;
};

struct TStepResult {
  bool Ok = false;
  bool Connected = true;
  // Failed before a single frame was written: the input was refused.
  bool InputError = false;
  std::int32_t Code = 0;
  std::string Text;  // LastErrorText as the device left it (CP1251)
  TNamedValues Outs;
  std::vector<TExchange> Exchanges;
  std::int64_t DurationMs = 0;
};

// Runs one step on a connected device. The error fields are cleared first, so
// that a step never shows what an earlier one left behind.
TStepResult RunStep(TBaseDevice& dev, const TStep& step);

// The result of a link that could not be opened.
TStepResult ConnectFailure(const TBaseDevice& dev);

// The error text to show (UTF-8): LastErrorText, or the message of the code
// when the device left the text empty (a busy time-out has no detail), or the
// refusal text for a false result without any error.
std::string ShownError(const TStepResult& r);

// 0 success, 2 refused input (nothing was sent), 1 any other failure.
int ExitStatusOf(const TStepResult& r);

// The last frame of an exchange's reply, taken apart as the log does; false
// when no frame start came.
bool LastReplyFrame(const TExchange& ex, TPrintData& frame);
// The status bytes of a frame taken apart.
TDataBuffer StatusBytes(const TPrintData& frame);

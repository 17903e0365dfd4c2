// Feeds arbitrary text to what fprcmd reads from people and from captures: the
// script reader with its argument reader, and the frame decoder with both
// printers. Beyond memory and undefined-behaviour faults it fails when a step
// is accepted with an argument its operation does not declare or without one it
// requires, or when the decoder loses or invents bytes.
//
// Input: byte 0 picks the reader (even: a script; odd: frames, as hexadecimal
// text when bit 1 is set, otherwise as raw bytes); the rest is the text.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FrameDecoder.h"
#include "FuzzInput.h"
#include "Printer.h"
#include "ScriptReader.h"

namespace {

void CheckStep(const TStep& step) {
  if (step.Op == nullptr) return;
  for (const auto& [name, value] : step.Args) {
    bool declared = false;
    for (const TValueDecl& s : step.Op->Args) declared |= s.Name == name && s.Kind == value.Kind;
    Check(declared);
  }
  for (const TValueDecl& s : step.Op->Args) {
    bool given = false;
    for (const auto& [name, value] : step.Args) given |= name == s.Name;
    Check(given || s.Optional);
  }
}

void FuzzScript(const std::string& text) {
  std::vector<TStep> steps;
  std::vector<std::string> errors;
  const bool ok = ReadScript(text, steps, errors);
  Check(ok == errors.empty());
  for (const TStep& step : steps) CheckStep(step);
}

void FuzzFrames(const std::string& bytes) {
  std::size_t total = 0;
  std::ostringstream sink;
  const auto text = MakeTextPrinter(sink, true);
  const auto json = MakeJsonPrinter(sink, true);
  int number = 0;
  for (const TFrameReport& f : DecodeFrames(bytes)) {
    Check(!f.Bytes.empty());
    Check(f.IsFrame == (f.Bytes[0] == '\x01'));
    total += f.Bytes.size();
    if (f.IsFrame) ++number;
    text->Frame(number, f);
    json->Frame(number, f);
  }
  Check(total == bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzReader in(data, size);
  const std::uint8_t mode = in.Byte();
  const std::string rest = in.Bytes(size);
  if ((mode & 1) == 0) {
    FuzzScript(rest);
  } else if ((mode & 2) != 0) {
    std::string bytes, error;
    if (ParseHexText(rest, bytes, error)) FuzzFrames(bytes);
  } else {
    FuzzFrames(rest);
  }
  return 0;
}

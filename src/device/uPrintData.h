#pragma once

#include <stdexcept>
#include <string>

// One frame taken apart for the log views.
struct TPrintData {
  std::string PacketLength;
  std::string PacketSequence;
  std::string PacketCommand;
  std::string PacketData;
  std::string PacketStatus;
  std::string PacketSum;
  std::string PacketHex;
};

// Raised by ParseFrameText for a text that is not a frame; callers do not report it.
class ESilentAbort : public std::runtime_error {
 public:
  ESilentAbort() : std::runtime_error("") {}
  explicit ESilentAbort(const std::string& message) : std::runtime_error(message) {}
};

// Fills `record` from a frame text (one character per byte). Raises ESilentAbort
// and fills nothing when the text does not begin with 0x01.
void ParseFrameText(const std::string& text, TPrintData& record);

// Hexadecimal view with the control bytes named; the last character is not shown.
std::string FrameHexView(const std::string& text);

#include "uPrintData.h"

#include <cstdint>

#include "ConstUnit.h"
#include "FrameCodec.h"

namespace {
// Character at a 1-based position; positions beyond the text count as 0x00.
std::uint8_t At(const std::string& text, std::size_t pos) {
  return pos >= 1 && pos <= text.size() ? static_cast<std::uint8_t>(text[pos - 1]) : 0;
}
}  // namespace

void ParseFrameText(const std::string& text, TPrintData& record) {
  if (text.empty() || At(text, 1) != Ctl::SOH) throw ESilentAbort();
  TPrintData r;
  r.PacketLength = std::to_string(static_cast<int>(At(text, 2)) - 0x20);
  r.PacketSequence = std::to_string(static_cast<int>(At(text, 3)) - 0x20);
  r.PacketCommand = Hex2(At(text, 4));
  enum class Part { Data, Status, Sum } part = Part::Data;
  for (std::size_t pos = 5; pos + 1 <= text.size();) {
    if (At(text, pos) == Ctl::EOT) {
      part = Part::Status;
      ++pos;
    }
    if (At(text, pos) == Ctl::ENQ) {
      part = Part::Sum;
      ++pos;
    }
    const std::uint8_t c = At(text, pos);
    if (c == Ctl::ETX) break;
    if (part == Part::Data)
      r.PacketData += static_cast<char>(c);
    else
      (part == Part::Status ? r.PacketStatus : r.PacketSum) += Hex2(c);
    ++pos;
  }
  r.PacketHex = FrameHexView(text);
  record = std::move(r);
}

std::string FrameHexView(const std::string& text) {
  static const struct {
    std::uint8_t Byte;
    const char* Name;
  } kNamed[] = {{Ctl::EOT, "<EOT>"}, {Ctl::ENQ, "<ENQ>"}, {Ctl::ETX, "<ETX>"},
                {Ctl::SOH, "<SOH>"}, {0x00, "<NULL>"}};
  std::string out;
  for (std::size_t pos = 1; pos + 1 <= text.size();) {
    for (const auto& n : kNamed) {
      if (At(text, pos) == n.Byte) {
        out += n.Name;
        ++pos;
      }
    }
    out += Hex2(At(text, pos));
    ++pos;
  }
  return out;
}

// Cutting one side's bytes into frames and runs outside frames: where a frame
// ends, what happens at the cap, and that every byte is accounted for.
#include <gtest/gtest.h>

#include "TapMonitorTestSupport.h"
#include "TapStreamDecoder.h"

using namespace taptest;

namespace {

// Pieces in a short form: F<count> for a frame (+over, +cut), N<count>, K<count>
// for NAK, S<count> for SYN.
std::string Shape(const std::vector<TTapPiece>& pieces) {
  std::string out;
  for (const TTapPiece& p : pieces) {
    out += (out.empty() ? "" : " ") + std::string(1, "FNKS"[static_cast<int>(p.Kind)]) +
           std::to_string(p.Count) + (p.OverCap ? "+over" : "") + (p.Cut ? "+cut" : "");
  }
  return out;
}

// Whole input fed at once, then flushed.
std::string Decode(const std::string& bytes, bool device = true, std::size_t cap = 255) {
  TTapStreamDecoder d(cap, device);
  std::vector<TTapPiece> out;
  d.Feed(bytes, out);
  d.Flush(out);
  EXPECT_EQ(d.Accounted(), bytes.size());
  for (const TTapPiece& p : out)
    EXPECT_LE(p.Bytes.size(),
              p.Kind == TTapPiece::TKind::Frame ? cap : TTapStreamDecoder::NoiseKeep);
  return Shape(out);
}

const std::string kReq = Request(0x20, 0x4A);        // 10 bytes
const std::string kAns = Answer(0x20, 0x4A, "ABC");  // 20 bytes
const std::string kSyn = "\x16", kNak = "\x15";

TEST(TapStreamDecoder, WhereFramesEndAndWhatLiesBetween) {
  std::string early = kAns;
  early.erase(early.size() - 2, 1);  // three sum characters, then <ETX>
  std::string noEtx = kReq;
  noEtx.back() = 'X';
  struct TCase {
    std::string Bytes;
    bool Device;
    const char* Shape;
  } cases[] = {
      {kReq, false, "F10"},
      {kSyn + kSyn + kAns + kNak, true, "S2 F20 K1"},
      // The host never sends NAK or SYN: they are noise there.
      {kSyn + kNak + kReq, false, "N2 F10"},
      {"ZZ\x03" + kAns + "\xFF", true, "N3 F20 N1"},
      {std::string(100000, 'Z'), true, "N100000"},  // only its first bytes are kept
      // A new <SOH> cuts the frame under way.
      {kAns.substr(0, 7) + kAns, true, "F7+cut F20"},
      // An early <ETX> after the <ENQ> ends the frame; a wrong last byte is still its end.
      {early + "Q", true, "F19 N1"},
      {noEtx + "Q", false, "F10 N1"},
      // <ETX> before the <ENQ> is data of a broken frame, not its end.
      {"\x01\x2B\x20\x4A\x03\x04" + Status() + "\x05" + "0000\x03", true, "F18"},
      // NAK and SYN inside a frame belong to it.
      {"\x01\x2B\x20\x4A\x15\x16\x04" + Status() + "\x05" + "0000\x03", true, "F19"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Decode(c.Bytes, c.Device), c.Shape) << c.Shape;
}

TEST(TapStreamDecoder, FrameOverTheCapIsReportedAndTheRestIsOutside) {
  // <SOH> and then bytes without an end, against the device's cap and the host's.
  EXPECT_EQ(Decode("\x01" + std::string(253, 'A')), "F254+cut");
  EXPECT_EQ(Decode("\x01" + std::string(254, 'A')), "F255+over");
  EXPECT_EQ(Decode("\x01" + std::string(299, 'A')), "F255+over N45");
  EXPECT_EQ(Decode("\x01" + std::string(599, 'A'), false, TapHostFrameCap()), "F448+over N152");
  // A frame of exactly the cap that ends on its last byte is a frame.
  const std::string longest = Answer(0x20, 0x4A, std::string(255 - 20 + 3, 'x'));
  ASSERT_EQ(longest.size(), 255u);
  EXPECT_EQ(Decode(longest), "F255");
}

}  // namespace

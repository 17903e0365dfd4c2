// Cutting one side's bytes into frames and runs outside frames: where a frame
// ends, what happens at the cap, and that every byte is accounted for.
#include <gtest/gtest.h>

#include "ConstUnit.h"
#include "TapMonitorTestSupport.h"
#include "TapStreamDecoder.h"

using namespace taptest;

namespace {

// Pieces in a short form: F<count> for a frame (+over, +cut), N<count>, K<count>
// for NAK, S<count> for SYN.
std::string Shape(const std::vector<TTapPiece>& pieces) {
  std::string out;
  for (const TTapPiece& p : pieces) {
    if (!out.empty()) out += ' ';
    switch (p.Kind) {
      case TTapPiece::TKind::Frame:
        out += "F" + std::to_string(p.Count) + (p.OverCap ? "+over" : "") + (p.Cut ? "+cut" : "");
        break;
      case TTapPiece::TKind::Noise:
        out += "N" + std::to_string(p.Count);
        break;
      case TTapPiece::TKind::Nak:
        out += "K" + std::to_string(p.Count);
        break;
      case TTapPiece::TKind::Syn:
        out += "S" + std::to_string(p.Count);
        break;
    }
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
      {kReq + kReq, false, "F10 F10"},
      {kSyn + kSyn + kAns + kNak, true, "S2 F20 K1"},
      // The host never sends NAK or SYN: they are noise there.
      {kSyn + kNak + kReq, false, "N2 F10"},
      {"ZZ\x03" + kAns + "\xFF", true, "N3 F20 N1"},
      // A new <SOH> cuts the frame under way; so does the end of the link.
      {kAns.substr(0, 7) + kAns, true, "F7+cut F20"},
      {kAns.substr(0, 7), true, "F7+cut"},
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
  struct TCase {
    std::size_t Length;  // bytes of <SOH> followed by data without end
    std::size_t Cap;
    const char* Shape;
  } cases[] = {
      {254, 255, "F254+cut"},
      {255, 255, "F255+over"},
      {300, 255, "F255+over N45"},
      {600, TapHostFrameCap(), "F448+over N152"},
  };
  for (const TCase& c : cases) {
    const std::string bytes = "\x01" + std::string(c.Length - 1, 'A');
    EXPECT_EQ(Decode(bytes, true, c.Cap), c.Shape) << c.Length;
  }
  // A frame of exactly the cap that ends on its last byte is a frame.
  const std::string longest = Answer(0x20, 0x4A, std::string(255 - 20 + 3, 'x'));
  ASSERT_EQ(longest.size(), 255u);
  EXPECT_EQ(Decode(longest), "F255");
  EXPECT_EQ(TapDeviceFrameCap(), 255u);
  EXPECT_EQ(TapHostFrameCap(), 10 + 2 * MaxRequestData);
}

TEST(TapStreamDecoder, ChunksOfAnySizeGiveTheSameFramesAndNothingIsLost) {
  const std::string stream = "\xFF\xFE" + kSyn + kAns + kNak + kAns.substr(0, 9) + kAns + "\x01" +
                             std::string(400, 'B') + kAns;
  TTapStreamDecoder whole(255, true);
  std::vector<TTapPiece> expected;
  whole.Feed(stream, expected);
  for (std::size_t piece : {1u, 2u, 5u, 64u}) {
    TTapStreamDecoder d(255, true);
    std::vector<TTapPiece> got, frames, wanted;
    for (std::size_t i = 0; i < stream.size(); i += piece) {
      d.Feed(std::string_view(stream).substr(i, piece), got);
      EXPECT_LE(d.Pending(), 255u);
      EXPECT_EQ(d.Accounted() + d.Pending(), d.Fed());
    }
    for (const auto* list : {&got, &expected}) {
      auto& dst = list == &got ? frames : wanted;
      for (const TTapPiece& p : *list)
        if (p.Kind == TTapPiece::TKind::Frame) dst.push_back(p);
    }
    ASSERT_EQ(frames.size(), wanted.size()) << piece;
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(frames[i].Bytes, wanted[i].Bytes) << piece << " frame " << i;
      EXPECT_EQ(frames[i].OverCap, wanted[i].OverCap);
    }
    EXPECT_EQ(d.Accounted(), stream.size());
  }
}

TEST(TapStreamDecoder, NoiseKeepsOnlyItsFirstBytes) {
  TTapStreamDecoder d(255, true);
  std::vector<TTapPiece> out;
  d.Feed(std::string(100000, 'Z'), out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].Count, 100000u);
  EXPECT_EQ(out[0].Bytes, std::string(TTapStreamDecoder::NoiseKeep, 'Z'));
}

}  // namespace

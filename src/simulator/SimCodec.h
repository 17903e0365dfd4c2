#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Device side of the link: taking request frames apart and building answers.
// Kept separate from the host's codec on purpose, so that the simulator checks
// the host's framing instead of sharing its mistakes. Bytes travel in
// std::string, one char per byte.

namespace sim {

inline constexpr std::uint8_t kSOH = 0x01;
inline constexpr std::uint8_t kETX = 0x03;
inline constexpr std::uint8_t kEOT = 0x04;
inline constexpr std::uint8_t kENQ = 0x05;
inline constexpr std::uint8_t kDLE = 0x10;
inline constexpr std::uint8_t kNAK = 0x15;
inline constexpr std::uint8_t kSYN = 0x16;

// One request as the device understood it.
struct TSimRequest {
  std::uint8_t Len = 0;
  std::uint8_t Seq = 0;
  std::uint8_t Cmd = 0;
  std::string Data;   // after the frame-level escaping was undone
  std::string Frame;  // the bytes as received, 0x01 through 0x03
};

// Undoes one level of escaping: 0x10 followed by b gives b - 0x40. A lone 0x10
// at the end, or one followed by a byte below 0x40, is kept as it is.
std::string Unescape(std::string_view data);

// True when `escaped` is valid frame data: no raw control byte other than
// TAB and LF, and every 0x10 followed by a byte from 0x40 to 0x5F.
bool IsValidEscapedData(std::string_view escaped);

// The host's checksum walk: from LEN on, 0x01 skipped, stop after the first 0x05.
std::uint16_t RequestChecksum(std::string_view frameUpToEnq);

// Collects request frames from a byte stream. A frame that arrives whole but
// fails a check (LEN, escaping, checksum, closing byte) is reported as broken
// so that the link answers NAK; bytes outside frames are ignored. LEN must be
// 0x24 plus the data bytes with the frame's escaping undone, without wrapping:
// a frame with more than 219 such bytes is broken whatever its LEN says.
class TRequestAssembler {
 public:
  enum class EEvent { None, Frame, Broken };

  EEvent Push(std::uint8_t b);
  // The frame completed by the last Push that returned Frame or Broken.
  const TSimRequest& Request() const { return Req_; }
  // Why the last frame was broken (for the trace).
  const std::string& BrokenReason() const { return Reason_; }
  // Drops a partly received frame.
  void Reset();
  bool InFrame() const { return State_ != EState::Hunt; }
  // Bytes held of the frame being received; never more than kMaxFrame.
  std::size_t Buffered() const { return Buf_.size(); }
  static constexpr std::size_t kMaxFrame = 1024;

 private:
  enum class EState { Hunt, Len, Seq, Cmd, Data, Sum, End };
  EEvent Finish();
  EEvent Broken(const std::string& reason);

  EState State_ = EState::Hunt;
  std::string Buf_;
  std::size_t DataStart_ = 0;
  int SumCount_ = 0;
  TSimRequest Req_;
  std::string Reason_;
};

// Response frame: 0x01, LEN, SEQ, CMD, data, 0x04, six status bytes, 0x05,
// four checksum characters (0x30 + nibble of the plain sum LEN..0x05), 0x03.
std::string EncodeResponse(std::uint8_t seq, std::uint8_t cmd, std::string_view data,
                           std::string_view status);

// Request frame as a host builds it (tests and tools): `data` is escaped once
// here; LEN counts the unescaped bytes (and wraps, so that tests can build the
// frame a host must never send).
std::string EncodeRequest(std::uint8_t seq, std::uint8_t cmd, std::string_view data);

// Bytes as uppercase hex separated by blanks, with the control bytes named
// ("<SOH> 24 20 4A <ENQ> 30 30 39 33 <ETX>").
std::string TraceHex(std::string_view bytes);

}  // namespace sim

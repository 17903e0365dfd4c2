#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FrameDecoder.h"
#include "TapSink.h"
#include "TapStreamDecoder.h"

// Pairs each request of the host with the device's answer and runs every check
// on the pair. Only watches: it is handed copies of the relayed bytes.

// One failed check: a short kind for counting ("checksum", "seq-mismatch", ...)
// and the text shown.
struct TTapCheck {
  std::string Kind;
  std::string Text;
};

struct TTapFrame {
  TFrameReport Report;
  std::int64_t StartUs = 0;  // time of the chunk with its <SOH>
  std::int64_t EndUs = 0;    // time of the chunk with its last byte
  bool OverCap = false;
  bool Cut = false;
};

// Bytes outside frames from one side: the first of them and how many.
struct TTapNoise {
  std::string Kept;
  std::size_t Count = 0;
};

struct TTapExchange {
  // From 1 per monitor; 0 for bytes that came outside any exchange.
  int Number = 0;
  std::int64_t TimeUs = 0;  // when the exchange began
  std::optional<TTapFrame> Request;
  std::optional<TTapFrame> Answer;
  int Naks = 0;
  int Syns = 0;
  TTapNoise HostNoise;
  TTapNoise DeviceNoise;
  // Request end to answer end; -1 without both.
  std::int64_t DurationUs = -1;
  // What a TCP host's check says of the answer against the request ("" = takes it).
  std::string HostCheck;
  std::vector<TTapCheck> Checks;
};

class TTapExchangeDecoder {
 public:
  using THandler = std::function<void(const TTapExchange&)>;
  explicit TTapExchangeDecoder(THandler onExchange);

  void Bytes(TTapSide from, std::string_view bytes, std::int64_t timeUs);
  // Ends whatever is under way; the next bytes start afresh (a new connection).
  void Close(TTapSide side, std::int64_t timeUs);
  // The same when the tap stops with the link still open.
  void Stop(std::int64_t timeUs);

  // Bytes of both sides fed and accounted for (frames, noise, NAK, SYN).
  std::size_t Fed() const { return Host_.Fed() + Device_.Fed(); }
  std::size_t Accounted() const { return Host_.Accounted() + Device_.Accounted(); }
  std::size_t Pending() const { return Host_.Pending() + Device_.Pending(); }

 private:
  void Piece(TTapSide from, TTapPiece& p, std::int64_t timeUs);
  void HostFrame(TTapFrame f);
  void DeviceFrame(TTapFrame f);
  void Nak(std::size_t count, std::int64_t timeUs);
  // The exchange bytes outside frames go to: the one waiting, or the idle one.
  TTapExchange& Current(std::int64_t timeUs);
  void End(std::int64_t timeUs, const std::string& noAnswer);
  void FinishOpen(const std::string& noAnswer);
  void FlushIdle();
  void Emit(TTapExchange& ex);

  THandler OnExchange_;
  TTapStreamDecoder Host_;
  TTapStreamDecoder Device_;
  std::vector<TTapPiece> Pieces_;
  std::int64_t FrameStart_[2] = {0, 0};
  std::optional<TTapExchange> Open_;  // a request waits for its answer
  std::optional<TTapExchange> Idle_;  // bytes outside an exchange
  int Next_ = 1;
};

// The kind of a failure text of the frame decoder.
std::string TapFailureKind(const std::string& failure);

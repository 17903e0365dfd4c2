#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Cuts the bytes one side sends into frames and the bytes between them, from
// chunks of any size: a frame may come in many pieces, several in one piece.
// Memory stays bounded whatever arrives: one frame of at most the cap, and at
// most NoiseKeep bytes of each run outside frames.

struct TTapPiece {
  enum class TKind { Frame, Noise, Nak, Syn };
  TKind Kind = TKind::Noise;
  // Frame: its bytes from <SOH> (at most the cap). Noise: the first bytes of the
  // run (at most NoiseKeep). NAK, SYN: empty.
  std::string Bytes;
  std::size_t Count = 0;  // bytes of the stream this piece stands for
  bool OverCap = false;   // the frame reached the cap without its end
  bool Cut = false;       // the frame ended early: a new <SOH>, or Flush
};

class TTapStreamDecoder {
 public:
  // `cap`: the longest frame the side can send. `controlBytes`: NAK and SYN
  // outside a frame are the device's signals (a host never sends them: noise).
  TTapStreamDecoder(std::size_t cap, bool controlBytes);

  // Appends the pieces completed by `bytes` to `out`, in stream order.
  void Feed(std::string_view bytes, std::vector<TTapPiece>& out);
  // The frame under way, if any, ends here (the side closed).
  void Flush(std::vector<TTapPiece>& out);

  std::size_t Pending() const { return Frame_.size(); }
  // Every byte fed is in exactly one of these or still pending.
  std::size_t Fed() const { return Fed_; }
  std::size_t Accounted() const { return Accounted_; }

  static constexpr std::size_t NoiseKeep = 64;

 private:
  void EndFrame(bool cut, bool overCap, std::vector<TTapPiece>& out);
  // A run of bytes outside a frame: [begin, end) of the chunk.
  void EmitOutside(std::string_view run, std::vector<TTapPiece>& out);
  void EmitRun(TTapPiece::TKind kind, std::string_view run, std::vector<TTapPiece>& out);
  // Takes bytes into the frame; returns how many it used.
  std::size_t TakeFrameBytes(std::string_view bytes, std::vector<TTapPiece>& out);

  std::size_t Cap_;
  bool ControlBytes_;
  std::string Frame_;    // empty: between frames
  std::size_t Enq_ = 0;  // index of the <ENQ> that ends the counted part, 0: none yet
  std::size_t Fed_ = 0;
  std::size_t Accounted_ = 0;
};

// The longest frames a side may send: a reply is capped as the transports cap
// it; a request may double its data with the frame's escaping.
std::size_t TapHostFrameCap();
std::size_t TapDeviceFrameCap();

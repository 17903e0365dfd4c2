#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "BaseDeviceUnit.h"

// Six status bytes with bit 7 set in each (as devices send them) plus the given
// [k/n] bits.
TDataBuffer StatusWith(std::initializer_list<std::pair<int, int>> bits = {});

// A device without I/O: records every request and answers from a script.
// Each SendCommand advances Sequence, builds the real request frame, raises
// OnFrameSent and takes the next scripted reply. Raw replies go through the same
// reading rules and checks as a TCP reply, so broken frames, SYN and NAK can be
// scripted byte for byte. Request data too long for its length byte is
// refused as the transports refuse it: nothing recorded, no reply taken.
class TScriptedDevice : public TBaseDevice {
 public:
  struct TRequest {
    std::uint8_t Cmd = 0;
    TDataBuffer Data;   // as handed to SendCommand
    TDataBuffer Frame;  // as it would go on the wire
    std::string DataText() const { return std::string(Data.begin(), Data.end()); }
  };

  // A well-formed answer with this data text and status.
  void Answer(const std::string& dataText, const TDataBuffer& status = StatusWith());
  // Raw bytes as the device would send them (may hold anything).
  void AnswerRaw(const TDataBuffer& bytes);
  // The exchange fails in the transport with this code and text.
  void Fail(std::int32_t code, const std::string& text);

  // Separators are fixed ('.' and ':') so that tests do not depend on the machine's
  // locale; a test that needs others sets Regional itself.
  TScriptedDevice() { Regional = TRegionalSettings{}; }

  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override;
  bool Connect() override;
  void Disconnect() override;
  bool IsConnected() override;

  std::vector<TRequest> Requests;
  std::vector<std::uint8_t> Commands() const;
  bool Connected = false;
  bool ConnectResult = true;
  int ConnectCalls = 0;
  std::int32_t ScriptedDuration = 5;

 private:
  struct TReply {
    enum class Kind { Answer, Raw, Fail } Type = Kind::Answer;
    TDataBuffer Data;
    TDataBuffer Status;
    std::int32_t Code = 0;
    std::string Text;
  };
  std::deque<TReply> Script;
};

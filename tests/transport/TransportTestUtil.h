#pragma once

#include <string>

#include "BaseDeviceUnit.h"
#include "FrameCodec.h"
#include "ScriptedDevice.h"

inline TDataBuffer Bytes(const std::string& text) { return TDataBuffer(text.begin(), text.end()); }
inline std::string Text(const TDataBuffer& b) { return std::string(b.begin(), b.end()); }

// A well-formed answer to `request` carrying `dataText`.
inline TDataBuffer AnswerTo(const TDataBuffer& request, const std::string& dataText,
                            const TDataBuffer& status = StatusWith()) {
  return BuildResponseFrame(request.at(2), request.at(3), Bytes(dataText), status);
}

// The same answer with a SEQ or CMD of its own.
inline TDataBuffer AnswerWith(std::uint8_t seq, std::uint8_t cmd, const std::string& dataText) {
  return BuildResponseFrame(seq, cmd, Bytes(dataText), StatusWith());
}

// Collects what the device reports through its events.
struct TEventLog {
  void Attach(TBaseDevice& dev) {
    dev.OnFrameSent = [this](const std::string& s) { Sent.push_back(s); };
    dev.OnByteReceived = [this](const std::string& s) { Received += s; };
    dev.OnControlByte = [this](const std::string& s) { Control += s; };
    dev.OnDuration = [this](const std::string& s) { Durations.push_back(s); };
  }
  std::vector<std::string> Sent;
  std::string Received;
  std::string Control;
  std::vector<std::string> Durations;
};

inline int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
  return n;
}

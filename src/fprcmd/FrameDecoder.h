#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "BaseDeviceUnit.h"
#include "uPrintData.h"

// Takes frames captured elsewhere (a serial sniffer, the console's log) apart.

// Reads hexadecimal as the log's hexadecimal view writes it: pairs of digits,
// blanks anywhere between pairs, and <SOH> <EOT> <ENQ> <ETX> <NULL> (also <DLE>
// <NAK> <SYN>) for control bytes. False with `error` for anything else: a
// digit without its pair, an unknown name, another character.
bool ParseHexText(std::string_view text, std::string& bytes, std::string& error);

struct TStatusFlag {
  std::string Bit;  // "[2/0]"
  std::int32_t Code;
  std::string Text;  // UTF-8
};

// The flags of six status bytes that are set, in the order of the status table.
std::vector<TStatusFlag> SetStatusFlags(const TDataBuffer& status);

// One frame, or a run of bytes outside any frame (SYN, NAK, noise).
struct TFrameReport {
  bool IsFrame = true;
  bool Response = false;  // has the <EOT> of a response
  std::string Bytes;
  std::string HexView;                // every byte, control bytes named as the log names them
  TPrintData Fields;                  // the log's field-by-field view
  std::string Data;                   // request: with the frame's own escaping undone
  std::vector<TStatusFlag> Flags;     // response: the set status flags
  std::vector<std::string> Failures;  // every check the frame fails
  // Response: the first check a TCP host makes that fails, with its code and
  // message ("" when a host takes the frame).
  std::string HostCheck;
};

// One frame from its <SOH>, checked completely.
TFrameReport DecodeFrame(std::string_view frame);

// What a TCP host's own check of a collected reply says when it waits for
// `seq` and `cmd`: "" when it takes the reply, else the code and its message.
std::string HostCheckAgainst(std::string_view reply, std::uint8_t seq, std::uint8_t cmd);

// Cuts the bytes into frames (from <SOH> through the <ETX> after the checksum)
// and runs of other bytes, and checks every frame completely.
std::vector<TFrameReport> DecodeFrames(std::string_view bytes);

// The bytes with the control bytes named, every byte shown (the log's view
// leaves out the last one).
std::string FullHexView(std::string_view bytes);

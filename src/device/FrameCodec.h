#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "BaseDeviceUnit.h"

// Request framing and response checks, as pure functions over bytes.

// The sequence number after `seq`: 0x20..0x7F, wrapping.
std::uint8_t NextSequence(std::uint8_t seq);

// Request data longer than LEN can count (MaxRequestData) would wrap LEN, and
// the device would read another frame than the one meant: raises 201.
void CheckRequestDataLength(std::size_t count);

// 0x01, LEN, SEQ, CMD, data escaped once more, 0x05, checksum, 0x03.
TDataBuffer BuildRequestFrame(std::uint8_t seq, std::uint8_t cmd, const TDataBuffer& data);
// The same frame into `frame`, whose storage is kept from one request to the next.
void BuildRequestFrameInto(TDataBuffer& frame, std::uint8_t seq, std::uint8_t cmd,
                           const TDataBuffer& data);

// Appends the four checksum characters of the frame built so far.
void AppendChecksum(TDataBuffer& frame);

// Sum as four uppercase hexadecimal digits.
std::string Hex4(std::uint32_t sum);
// Byte as two uppercase hexadecimal digits.
std::string Hex2(std::uint8_t b);
// Appends the two digits of `b` and a blank, the way the traffic texts list bytes.
void AppendHexByte(std::string& out, std::uint8_t b);
// Writes the two digits of `b` at `out`.
void WriteHexDigits(char* out, std::uint8_t b);
// `out` := the bytes of `buf` from `start`, at most `count`, as BytesToHex
// writes them, reusing the storage `out` already has.
void AssignHexText(std::string& out, const TDataBuffer& buf, std::size_t start, std::size_t count);
// The same text appended to `out`.
void AppendHexText(std::string& out, const TDataBuffer& buf, std::size_t start, std::size_t count);
// "[rx/tx]"
std::string MismatchDetail(std::uint8_t received, std::uint8_t expected);
// Hexadecimal text of (c - 0x30) for a checksum character c above 0x03: one digit
// for '0'..'?', more for anything else, so that a bad character fails the length test.
std::string ChecksumDigit(std::uint8_t c);

// Result of checking a collected reply (0x01 through 0x03).
struct TResponseParts {
  TDataBuffer Data;    // bytes above 0x04 of the data part
  TDataBuffer Status;  // bytes above 0x05 of the status part
};

// Checks a whole collected reply in the order length, LEN, SEQ, CMD, data,
// status, end, checksum length, LEN count, checksum value, raising ECmdException
// with the TCP codes. `onByte` is called for every byte taken from LEN on, in
// frame order, up to the byte at which a check fails.
TResponseParts CheckCollectedResponse(const TDataBuffer& reply, std::uint8_t expectedSeq,
                                      std::uint8_t expectedCmd,
                                      const std::function<void(std::uint8_t)>& onByte);

// Builds a well-formed response frame (device side and tests).
TDataBuffer BuildResponseFrame(std::uint8_t seq, std::uint8_t cmd, const TDataBuffer& data,
                               const TDataBuffer& status);

#pragma once

#include <cstddef>
#include <cstdint>

// Control bytes of the device link.
namespace Ctl {
inline constexpr std::uint8_t SOH = 0x01;
inline constexpr std::uint8_t ETX = 0x03;
inline constexpr std::uint8_t EOT = 0x04;
inline constexpr std::uint8_t ENQ = 0x05;
inline constexpr std::uint8_t DLE = 0x10;
inline constexpr std::uint8_t NAK = 0x15;
inline constexpr std::uint8_t SYN = 0x16;
inline constexpr std::uint8_t TAB = 0x09;
inline constexpr std::uint8_t LF = 0x0A;
}  // namespace Ctl

// Sequence numbers run from SeqFirst to SeqLast and wrap.
inline constexpr std::uint8_t SeqFirst = 0x20;
inline constexpr std::uint8_t SeqLast = 0x7F;

// LEN of a request is the data count plus this offset.
inline constexpr std::uint8_t RequestLenOffset = 0x24;
// The most data bytes (as handed to SendCommand) whose LEN still fits in one byte.
inline constexpr std::size_t MaxRequestData = 0xFF - RequestLenOffset;
// LEN of a response counts from LEN on, plus this offset.
inline constexpr std::uint8_t LenBase = 0x20;

inline constexpr int StatusByteCount = 6;

// First VAT group letter (Cyrillic capital A in CP1251) and the last one.
inline constexpr std::uint8_t VatGroupFirst = 0xC0;
inline constexpr std::uint8_t VatGroupLast = 0xC7;

// Error codes used across the core and the transports.
namespace Err {
inline constexpr int PortNotActive = 101;
inline constexpr int WriteError = 102;
inline constexpr int NoResponse = 103;
inline constexpr int ReadByte = 104;
inline constexpr int ReadData = 105;
inline constexpr int Nak = 106;
inline constexpr int ReadPort = 107;
inline constexpr int WrongSeq = 109;
inline constexpr int WrongCmdTcp = 110;
inline constexpr int BadChecksum = 111;
inline constexpr int BadLength = 112;
inline constexpr int Busy = 120;
inline constexpr int PrinterError = 130;
inline constexpr int WrongCmdSerial = 132;
inline constexpr int BadAnswer = 200;
inline constexpr int InvalidInput = 201;
inline constexpr int DeviceMessage = 203;
inline constexpr int InvalidCommand = 204;
inline constexpr int SyntaxError = 205;
inline constexpr int Denied = 206;
inline constexpr int LackOfFunds = 207;
inline constexpr int NoFiscalReceipt = 208;
inline constexpr int NoCommentReceipt = 209;
inline constexpr int NoPaper = 210;
inline constexpr int FiscalMemoryError = 211;
inline constexpr int FiscalMemoryFull = 212;
inline constexpr int FiscalMemoryLocked = 213;
inline constexpr int LastFmEntryFailed = 214;
inline constexpr int CommentReceiptOpen = 215;
inline constexpr int NotAllowedInRegime = 216;
inline constexpr int FiscalReceiptOpen = 217;
inline constexpr int ClockNotSet = 218;
inline constexpr int PrinterMalfunction = 219;
inline constexpr int RamDestroyed = 220;
inline constexpr int LowBattery = 221;
inline constexpr int RamCleared = 222;
inline constexpr int Overflow = 223;
inline constexpr int EndOfJournal = 224;
inline constexpr int TaxTerminal = 231;
inline constexpr int PaymentError = 250;
}  // namespace Err

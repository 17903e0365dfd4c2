#include "FrameDecoder.h"

#include <cstdint>

#include "ConstUnit.h"
#include "Cp1251.h"
#include "FrameCodec.h"
#include "StatusDecoding.h"

namespace {

struct TNamedByte {
  std::string_view Name;
  std::uint8_t Byte;
};

constexpr TNamedByte kNames[] = {{"SOH", Ctl::SOH}, {"EOT", Ctl::EOT}, {"ENQ", Ctl::ENQ},
                                 {"ETX", Ctl::ETX}, {"NULL", 0x00},    {"DLE", Ctl::DLE},
                                 {"NAK", Ctl::NAK}, {"SYN", Ctl::SYN}};

// The bytes the log's view names; a run of them at the end needs naming by hand
// because the view always shows the byte after a named one in hexadecimal.
bool NamedInView(std::uint8_t b) {
  return b == Ctl::SOH || b == Ctl::EOT || b == Ctl::ENQ || b == Ctl::ETX || b == 0x00;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::uint8_t At(std::string_view f, std::size_t i) { return static_cast<std::uint8_t>(f[i]); }

// Index of the first <ENQ> after CMD, or npos.
std::size_t FindEnq(std::string_view f) {
  return f.size() > 4 ? f.find(static_cast<char>(Ctl::ENQ), 4) : std::string_view::npos;
}

// Where the frame starting at `start` ends (one past its last byte).
std::size_t FrameEnd(std::string_view bytes, std::size_t start) {
  const std::size_t nextSoh = bytes.find(static_cast<char>(Ctl::SOH), start + 1);
  const std::size_t limit = nextSoh == std::string_view::npos ? bytes.size() : nextSoh;
  const std::size_t enq = FindEnq(bytes.substr(start, limit - start));
  if (enq == std::string_view::npos) return limit;
  return std::min(limit, start + enq + 6);
}

std::string Hex4Of(std::string_view chars) {
  std::string out;
  for (char c : chars) out += ChecksumDigit(static_cast<std::uint8_t>(c));
  return out;
}

// The request's data as the command built it: the frame's escaping undone.
std::string UnescapeRequestData(std::string_view wire, std::vector<std::string>& failures) {
  std::string out;
  for (std::size_t i = 0; i < wire.size(); ++i) {
    const std::uint8_t b = At(wire, i);
    if (b != Ctl::DLE) {
      out += static_cast<char>(b);
    } else if (i + 1 < wire.size() && At(wire, i + 1) >= 0x40 && At(wire, i + 1) < 0x60) {
      out += static_cast<char>(At(wire, ++i) - 0x40);
    } else {
      failures.push_back("escape: the <DLE> at data byte " + std::to_string(i + 1) +
                         " is not followed by an escaped byte (40..5F)");
    }
  }
  return out;
}

// The four checksum characters of LEN through <ENQ>, as a sender computes them,
// against those received.
void CheckChecksum(std::string_view f, std::size_t enq, TFrameReport& r) {
  TDataBuffer counted(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(enq) + 1);
  AppendChecksum(counted);
  const std::string computed(counted.end() - 4, counted.end());
  const std::string_view received = f.substr(enq + 1, 4);
  if (received != computed) {
    r.Failures.push_back("checksum: received " + Hex4Of(received) + ", computed " +
                         Hex4Of(computed));
  }
}

void CheckRequest(std::string_view f, std::size_t enq, TFrameReport& r) {
  r.Data = UnescapeRequestData(f.substr(4, enq - 4), r.Failures);
  const int said = At(f, 1) - RequestLenOffset;
  if (said != static_cast<int>(r.Data.size())) {
    r.Failures.push_back("length: LEN " + Hex2(At(f, 1)) + " counts " + std::to_string(said) +
                         " data bytes, the frame holds " + std::to_string(r.Data.size()));
  }
  CheckChecksum(f, enq, r);
}

void CheckResponse(std::string_view f, std::size_t enq, TFrameReport& r) {
  const std::size_t eot = f.find(static_cast<char>(Ctl::EOT), 4);
  const std::size_t counted = enq;  // LEN through <ENQ>
  if (static_cast<int>(counted) != At(f, 1) - LenBase) {
    r.Failures.push_back("length: LEN " + Hex2(At(f, 1)) + " counts " +
                         std::to_string(At(f, 1) - LenBase) + " bytes from LEN to <ENQ>, the " +
                         "frame holds " + std::to_string(counted));
  }
  TDataBuffer status;
  for (std::size_t i = eot + 1; i < enq; ++i) {
    if (At(f, i) > Ctl::ENQ) status.push_back(At(f, i));
  }
  if (status.size() != StatusByteCount || enq - eot - 1 != StatusByteCount) {
    r.Failures.push_back("status: " + std::to_string(enq - eot - 1) + " bytes between <EOT> and " +
                         "<ENQ>, 6 expected");
  }
  r.Flags = SetStatusFlags(status);
  CheckChecksum(f, enq, r);
}

std::string HostCheck(std::string_view f) { return HostCheckAgainst(f, At(f, 2), At(f, 3)); }

}  // namespace

std::string HostCheckAgainst(std::string_view reply, std::uint8_t seq, std::uint8_t cmd) {
  try {
    const TDataBuffer collected(reply.begin(), reply.end());
    CheckCollectedResponse(collected, seq, cmd, [](std::uint8_t) {});
    return "";
  } catch (const ECmdException& e) {
    return std::to_string(e.Code) + " " + Cp1251ToUtf8(ErrorText(e.Code, e.what()));
  }
}

TFrameReport DecodeFrame(std::string_view f) {
  TFrameReport r;
  r.Bytes = std::string(f);
  r.HexView = FullHexView(f);
  ParseFrameText(r.Bytes, r.Fields);
  if (f.size() < 4) {
    r.Failures.push_back("the frame ends before its CMD byte");
    return r;
  }
  if (At(f, 2) < SeqFirst || At(f, 2) > SeqLast) {
    r.Failures.push_back("sequence: SEQ " + Hex2(At(f, 2)) + " is outside 20..7F");
  }
  const std::size_t enq = FindEnq(f);
  r.Response = f.find(static_cast<char>(Ctl::EOT), 4) < enq;
  if (r.Response) r.HostCheck = HostCheck(f);
  if (enq == std::string_view::npos) {
    r.Failures.push_back(r.Response ? "no <ENQ>: the status part is not ended"
                                    : "no <ENQ>: the data part is not ended");
    return r;
  }
  if (r.Response) {
    CheckResponse(f, enq, r);
  } else {
    CheckRequest(f, enq, r);
  }
  if (f.size() < enq + 5) {
    r.Failures.push_back("checksum: " + std::to_string(f.size() - enq - 1) + " of 4 characters");
  } else if (f.size() < enq + 6 || At(f, enq + 5) != Ctl::ETX) {
    r.Failures.push_back("missing <ETX> after the checksum");
  }
  return r;
}

bool ParseHexText(std::string_view text, std::string& bytes, std::string& error) {
  bytes.clear();
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsBlank(c)) {
      ++i;
    } else if (c == '<') {
      const std::size_t close = text.find('>', i);
      const std::string_view name =
          close == std::string_view::npos ? text.substr(i + 1) : text.substr(i + 1, close - i - 1);
      const TNamedByte* found = nullptr;
      for (const TNamedByte& n : kNames) {
        if (n.Name == name) found = &n;
      }
      if (found == nullptr || close == std::string_view::npos) {
        error = "unknown control byte name at column " + std::to_string(i + 1);
        return false;
      }
      bytes += static_cast<char>(found->Byte);
      i = close + 1;
    } else if (HexDigit(c) < 0) {
      error = "'" + std::string(1, c) + "' at column " + std::to_string(i + 1) +
              " is not a hexadecimal digit";
      return false;
    } else if (i + 1 >= text.size() || text[i + 1] == '<' || IsBlank(text[i + 1])) {
      error = "odd number of hexadecimal digits at column " + std::to_string(i + 1);
      return false;
    } else if (HexDigit(text[i + 1]) < 0) {
      error = "'" + std::string(1, text[i + 1]) + "' at column " + std::to_string(i + 2) +
              " is not a hexadecimal digit";
      return false;
    } else {
      bytes += static_cast<char>(HexDigit(c) * 16 + HexDigit(text[i + 1]));
      i += 2;
    }
  }
  return true;
}

std::vector<TStatusFlag> SetStatusFlags(const TDataBuffer& status) {
  std::vector<TStatusFlag> flags;
  for (const TStatusBitInfo& bit : StatusBitTable()) {
    if (static_cast<std::size_t>(bit.Byte) < status.size() &&
        TBaseDevice::TestStatusBit(status, bit.Byte, bit.Bit)) {
      flags.push_back({"[" + std::to_string(bit.Byte) + "/" + std::to_string(bit.Bit) + "]",
                       bit.Code, Cp1251ToUtf8(ErrorMessage(bit.Code))});
    }
  }
  return flags;
}

std::string FullHexView(std::string_view bytes) {
  std::size_t keep = bytes.size();
  while (keep > 0 && NamedInView(At(bytes, keep - 1))) --keep;
  // The view leaves out its last character: a closing <ETX> fills that place.
  std::string out = FrameHexView(std::string(bytes.substr(0, keep)) + static_cast<char>(Ctl::ETX));
  for (std::size_t i = keep; i < bytes.size(); ++i) {
    for (const TNamedByte& n : kNames) {
      if (n.Byte == At(bytes, i)) {
        out += "<" + std::string(n.Name) + ">";
        break;
      }
    }
  }
  return out;
}

std::vector<TFrameReport> DecodeFrames(std::string_view bytes) {
  std::vector<TFrameReport> out;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    if (At(bytes, pos) != Ctl::SOH) {
      std::size_t end = bytes.find(static_cast<char>(Ctl::SOH), pos);
      if (end == std::string_view::npos) end = bytes.size();
      TFrameReport stray;
      stray.IsFrame = false;
      stray.Bytes = std::string(bytes.substr(pos, end - pos));
      stray.HexView = FullHexView(stray.Bytes);
      out.push_back(std::move(stray));
      pos = end;
      continue;
    }
    const std::size_t end = FrameEnd(bytes, pos);
    out.push_back(DecodeFrame(bytes.substr(pos, end - pos)));
    pos = end;
  }
  return out;
}

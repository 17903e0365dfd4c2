#include "ResultBlock.h"

#include <QRegularExpression>
#include <exception>

#include "DeviceText.h"
#include "RegionalSettings.h"
#include "StatusDecoding.h"
#include "uPrintData.h"

namespace {

class TBlockWriter {
 public:
  std::vector<TLogLine> Lines;

  // One line, even when empty.
  void Line(const QString& text, unsigned style = lsPlain,
            ELogColour colour = ELogColour::WindowText) {
    Lines.push_back({text, style, colour});
  }
  // Each line of the text; nothing for an empty text.
  void Text(const QString& text, unsigned style, ELogColour colour) {
    for (const QString& line : SplitLogLines(text)) Line(line, style, colour);
  }
};

// False when the text is not a frame (noise before 0x01 on a serial line).
bool TryParseFrame(const std::string& raw, TPrintData& data) {
  try {
    ParseFrameText(raw, data);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// The status bytes of the received frame, from the hexadecimal status field.
std::string StatusBytes(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    std::uint32_t b = 0;
    if (!TryParseHex(std::string_view(hex).substr(i, 2), b)) break;
    bytes += static_cast<char>(b);
  }
  return bytes;
}

// Hex and detailed views of one frame; only the received one has a status part.
void WriteFrameViews(const TLogOptions& o, const TPrintData& d, ELogColour c, bool received,
                     TBlockWriter& w) {
  if (o.Hex) {
    w.Text(QStringLiteral("Hex view:"), lsItalic, c);
    w.Text(QStringLiteral(" ") + DevText(d.PacketHex), lsPlain, c);
  }
  if (!o.Detailed) return;
  w.Text(QStringLiteral("Detailed view:"), lsItalic, c);
  w.Text(QStringLiteral(" Packet length:") + DevText(d.PacketLength), lsPlain, c);
  w.Text(QStringLiteral(" Packet sequence:") + DevText(d.PacketSequence), lsPlain, c);
  w.Text(QStringLiteral(" Command:") + DevText(d.PacketCommand), lsPlain, c);
  w.Text(QStringLiteral(" Data:") + DevText(d.PacketData), lsPlain, c);
  if (received) w.Text(QStringLiteral(" Result status:") + DevText(d.PacketStatus), lsPlain, c);
  w.Text(QStringLiteral(" Sum:") + DevText(d.PacketSum), lsPlain, c);
}

void WriteSent(const TResultBlock& b, TBlockWriter& w) {
  const TLogOptions& o = b.Options;
  const ELogColour c = ELogColour::Blue;
  if (o.Any()) w.Text(QStringLiteral("Communication PC->PRN "), lsBold, c);
  if (o.Raw) {
    w.Text(QStringLiteral("Raw view"), lsItalic, c);
    w.Text(QStringLiteral(" ") + DevText(b.SentRaw), lsPlain, c);
  }
  TPrintData d;
  if (TryParseFrame(b.SentRaw, d)) WriteFrameViews(o, d, c, false, w);
}

void WriteReceived(const TResultBlock& b, TBlockWriter& w) {
  const TLogOptions& o = b.Options;
  const ELogColour c = ELogColour::Maroon;
  if (o.Any()) {
    w.Line(QString());
    w.Text(QStringLiteral("Communication PRN->PC "), lsBold, ELogColour::Blue);
  }
  if (o.Raw) {
    w.Text(QStringLiteral("Raw view"), lsItalic, c);
    w.Text(DevText(b.ReceivedRaw), lsPlain, c);
  }
  TPrintData d;
  if (!TryParseFrame(b.ReceivedRaw, d)) return;
  WriteFrameViews(o, d, c, true, w);
  // The flags need six status bytes; a shorter status part is a broken frame.
  const std::string status = StatusBytes(d.PacketStatus);
  if (o.StatusAsString && status.size() >= 6) {
    w.Line(QString());
    const TDataBuffer bytes(status.begin(), status.begin() + 6);
    w.Text(DevText(StatusBitsText(bytes)), lsPlain, ELogColour::Grey);
  }
}

}  // namespace

// Lines as a string list reads them: a break at the very end starts no new line,
// so result texts that end with CR do not add an empty line to the block.
QStringList SplitLogLines(const QString& text) {
  if (text.isEmpty()) return {};
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  QStringList lines = text.split(breaks);
  if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

std::vector<TLogLine> ComposeResultBlock(const TResultBlock& b) {
  TBlockWriter w;
  w.Text(b.Title, lsBold | lsUnderline, ELogColour::WindowText);
  w.Text(QStringLiteral("Duration: %1ms").arg(b.Duration), lsPlain, ELogColour::WindowText);
  w.Line(QString());
  if (!b.Error.isEmpty()) {
    w.Text(QStringLiteral("Result - ERROR "), lsBold, ELogColour::Red);
    w.Text(b.Error, lsBold, ELogColour::Red);
  } else {
    w.Text(QStringLiteral("Result - OK "), lsPlain, ELogColour::Green);
    w.Text(b.Result, lsPlain, ELogColour::Green);
  }
  w.Line(QString());
  if (!b.SentRaw.empty()) WriteSent(b, w);
  if (!b.ReceivedRaw.empty()) WriteReceived(b, w);
  w.Line(kHyphenLine);
  return std::move(w.Lines);
}

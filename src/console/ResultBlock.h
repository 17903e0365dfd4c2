#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

// Font styles of a log line; combine with |.
enum TLogStyle : unsigned { lsPlain = 0, lsBold = 1, lsItalic = 2, lsUnderline = 4 };

enum class ELogColour { WindowText, Red, Green, Blue, Maroon, Grey };

struct TLogLine {
  QString Text;
  unsigned Style = lsPlain;
  ELogColour Colour = ELogColour::WindowText;
  bool operator==(const TLogLine&) const = default;
};

// The check marks of "Show options".
struct TLogOptions {
  bool Hex = false;
  bool Detailed = false;
  bool Raw = false;
  bool StatusAsString = false;
  bool Any() const { return Hex || Detailed || Raw; }
};

// What one result block is made of. Sent/Received are the collected frame texts
// (one char per byte, CP1251).
struct TResultBlock {
  QString Title;
  std::int32_t Duration = 0;
  QString Result;
  QString Error;
  std::string SentRaw;
  std::string ReceivedRaw;
  TLogOptions Options;
};

inline const QString kHyphenLine = QStringLiteral("----------------------------------");

// The lines of a text split at CR LF, CR or LF; an empty text gives none.
QStringList SplitLogLines(const QString& text);

// Every line of the block in order, the closing line of hyphens included. A
// collected text that is not a frame loses only the views that need a frame.
std::vector<TLogLine> ComposeResultBlock(const TResultBlock& block);

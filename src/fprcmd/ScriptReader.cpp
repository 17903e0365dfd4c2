#include "ScriptReader.h"

#include <algorithm>

#include "ArgReader.h"
#include "ConstUnit.h"
#include "Cp1251.h"
#include "RegionalSettings.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool AllHex(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
  });
}

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) {
    if (!out.empty()) out += ' ';
    out += w;
  }
  return out;
}

// The line as written, without the blanks around it.
std::string Trimmed(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return "";
  return std::string(line.substr(first, line.find_last_not_of(" \t\r") + 1 - first));
}

// The character a backslash escape in quotes stands for.
char Unescaped(char c) {
  if (c == 't') return '\t';
  if (c == 'n') return '\n';
  return c;
}

}  // namespace

bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
  words.clear();
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '\\' && i + 1 < line.size()) {
        word += Unescaped(line[++i]);
      } else if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == '#') {
      break;
    } else if (IsBlank(c)) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) {
    error = "a double quote is not closed";
    return false;
  }
  if (inWord) words.push_back(word);
  return true;
}

bool BuildRawStep(std::uint8_t code, const std::string& paramsUtf8, TStep& step,
                  std::vector<std::string>& errors) {
  std::string params;
  std::size_t bad = 0;
  if (!Utf8ToCp1251(paramsUtf8, params, &bad)) {
    errors.push_back("the parameter text has a character without a CP1251 code at byte " +
                     std::to_string(bad));
    return false;
  }
  // ExecuteCommand escapes the text once; the length byte counts the result.
  TDataBuffer data;
  TBaseDevice::AppendEscapedText(params, data);
  if (data.size() > MaxRequestData) {
    errors.push_back("the request data would be " + std::to_string(data.size()) +
                     " bytes, more than the " + std::to_string(MaxRequestData) +
                     " one frame can carry");
    return false;
  }
  step.Op = nullptr;
  step.Code = code;
  step.Params = params;
  return true;
}

bool BuildStep(const std::vector<std::string>& words, TStep& step,
               std::vector<std::string>& errors) {
  step.Source = Joined(words);
  std::size_t first = 0;
  if (!words.empty() && words[0] == "op") first = 1;
  if (first >= words.size()) {
    errors.push_back("an operation name is missing");
    return false;
  }
  const std::string& name = words[first];
  if (first == 0 && AllHex(name)) {
    if (words.size() > 2) {
      errors.push_back("Give a command code and at most one parameter text");
      return false;
    }
    std::uint32_t code = 0;
    if (name.size() > 2 || !TryParseHex(name, code)) {
      errors.push_back("Invalid value for command.");
      return false;
    }
    return BuildRawStep(static_cast<std::uint8_t>(code), words.size() == 2 ? words[1] : "", step,
                        errors);
  }
  step.Op = FindOperation(name);
  if (step.Op == nullptr) {
    const std::string hint = ClosestName(name, OperationNames());
    errors.push_back("unknown operation '" + name + "'" +
                     (hint.empty() ? std::string() : " (did you mean " + hint + "?)") +
                     "; fprcmd --list shows them all");
    return false;
  }
  const std::vector<std::string> args(words.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                                      words.end());
  std::vector<std::string> argErrors;
  if (ReadArguments(step.Op->Args, args, step.Args, argErrors)) return true;
  for (const std::string& e : argErrors) errors.push_back(name + ": " + e);
  return false;
}

bool ReadScript(std::string_view text, std::vector<TStep>& steps,
                std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  int lineNo = 0;
  // An editor's byte-order mark is not part of the first word.
  std::size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    std::vector<std::string> words;
    std::string error;
    std::vector<std::string> lineErrors;
    if (!SplitWords(line, words, error)) {
      lineErrors.push_back(error);
    } else if (!words.empty()) {
      TStep step;
      if (BuildStep(words, step, lineErrors)) {
        step.Line = lineNo;
        step.Source = Trimmed(line);
        steps.push_back(std::move(step));
      }
    }
    for (const std::string& e : lineErrors) errors.push_back(std::to_string(lineNo) + ": " + e);
  }
  return errors.size() == errorsBefore;
}

#include "SimStateFile.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "SimNumbers.h"
#include "SimStateEntries.h"
#include "SimStateLists.h"

namespace sim {

namespace {

constexpr char kMagic[] = "fprsim-state 2";
constexpr char kMagicV1[] = "fprsim-state 1";  // no closing line yet
constexpr char kClosing[] = "end";

// Reads the lines of a state file one by one into a fresh state.
class TParser {
 public:
  TParser() : Scalars_(ScalarEntries(S_)), Lists_(S_) {
    S_.Departments.clear();
    S_.Operators.clear();
  }

  // False with `why` set when the file is refused at line `lineNo`.
  bool Line(const std::string& line, int lineNo, std::string& why);
  // After the last line; false when the file is refused.
  bool End(int& lineNo, std::string& why, std::string* warning);
  TSimState& State() { return S_; }

 private:
  TSimState S_;
  std::vector<TEntry> Scalars_;
  TListReader Lists_;
  bool Version1_ = false;
  bool Closed_ = false;
};

bool TParser::Line(const std::string& line, int lineNo, std::string& why) {
  if (lineNo == 1) {
    Version1_ = line == kMagicV1;
    if (line != kMagic && !Version1_) why = "not a fprsim state file";
    return why.empty();
  }
  if (line.empty() || line[0] == '#') return true;
  if (Closed_) {
    why = "text after the closing line";
    return false;
  }
  if (line == kClosing) {
    Closed_ = true;
    return true;
  }
  const auto eq = line.find('=');
  if (eq == std::string::npos) {
    why = "no '='";
    return false;
  }
  const std::string key = line.substr(0, eq);
  const TFields f = Split(line.substr(eq + 1), '|');
  auto it =
      std::find_if(Scalars_.begin(), Scalars_.end(), [&](const TEntry& e) { return key == e.Key; });
  Lists_.At(lineNo);
  why = it != Scalars_.end() ? it->Set(f) : Lists_.Read(key, f);
  return why.empty();
}

bool TParser::End(int& lineNo, std::string& why, std::string* warning) {
  if (lineNo == 0) {
    why = "empty file";
    return false;
  }
  if (!Closed_ && !Version1_) {
    why = "the file ends without its closing line '" + std::string(kClosing) + "'";
    return false;
  }
  if (!Closed_ && warning) {
    *warning = "a version 1 file has no closing line: it may have been cut short";
  }
  int receiptLine = 0;
  why = Lists_.Finish(receiptLine);
  if (why.empty()) return true;
  lineNo = receiptLine;
  return false;
}

}  // namespace

std::string SerializeState(const TSimState& state) {
  TSimState& s = const_cast<TSimState&>(state);  // the getters only read
  std::ostringstream o;
  o << kMagic << "\n";
  for (const TEntry& e : ScalarEntries(s)) {
    TFields f = e.Get();
    o << e.Key << "=";
    for (std::size_t i = 0; i < f.size(); ++i) o << (i ? "|" : "") << EncodeField(f[i]);
    o << "\n";
  }
  WriteLists(s, o);
  o << kClosing << "\n";
  return o.str();
}

bool ParseState(const std::string& text, TSimState& out, std::string* error, std::string* warning) {
  TParser parser;
  std::istringstream in(text);
  std::string line, why;
  int lineNo = 0;
  bool ok = true;
  while (ok && std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ok = parser.Line(line, lineNo, why);
  }
  std::string warned;
  if (ok) ok = parser.End(lineNo, why, &warned);
  if (!ok) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  }
  if (warning) *warning = warned;
  out = std::move(parser.State());
  return true;
}

}  // namespace sim

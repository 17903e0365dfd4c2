#pragma once

#include <ostream>
#include <string>

#include "SimState.h"
#include "SimStateFields.h"

namespace sim {

// The list lines of the state file: flags of the receipts, operators,
// fiscal-memory records, departments, PLUs and the lines of the open receipt.
void WriteLists(const TSimState& s, std::ostream& o);

// Reads list lines into a state within the model's limits. The open receipt
// is checked as a whole once every line is read (Finish).
class TListReader {
 public:
  explicit TListReader(TSimState& s) : S_(s) {}
  // "" when the line was read, otherwise why not (also for a key that is no list).
  std::string Read(const std::string& key, const TFields& f);
  // "" when the receipt's lines add up within the limits; `line` is the file
  // line of the last receipt line.
  std::string Finish(int& line) const;
  // The file line being read, kept for Finish.
  void At(int line) { Line_ = line; }

 private:
  std::string Operator(const TFields& f);
  std::string FmRecord(const TFields& f);
  std::string Department(const TFields& f);
  std::string Plu(const TFields& f);
  std::string ReceiptLine(const TFields& f);
  std::string ReceiptFlags(const TFields& f);
  std::string LastFlags(const TFields& f);

  TSimState& S_;
  int Line_ = 0;
  int LastReceiptLine_ = 0;
};

}  // namespace sim

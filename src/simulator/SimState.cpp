#include "SimState.h"

#include <cstring>

namespace sim {

int PayIndexOf(char letter) {
  if (letter == '\0') return -1;
  const char* p = std::strchr(kPayLetters, letter);
  return p ? static_cast<int>(p - kPayLetters) : -1;
}

int TSimReceipt::SaleCount() const {
  int n = 0;
  for (const auto& l : Lines) n += l.Adjustment ? 0 : 1;
  return n;
}

std::int64_t TSimReceipt::Total() const {
  std::int64_t t = 0;
  for (const auto& l : Lines) t += l.Amount;
  return t;
}

std::int64_t TSimReceipt::PaidTotal() const {
  std::int64_t t = 0;
  for (auto p : Paid) t += p;
  return t;
}

TGroupSums TSimReceipt::GroupSums() const {
  TGroupSums g{};
  for (const auto& l : Lines) g[static_cast<std::size_t>(l.Group - 1)] += l.Amount;
  return g;
}

TSimState::TSimState() {
  Lines[0] = "VELMORA SIMULATED STORE";
  Lines[1] = "1 TEST STREET";
  Lines[6] = "THANK YOU";
  static const char* kNames[] = {"BREAD", "MILK", "FRUIT", "DRINKS", "OTHER"};
  for (int i = 0; i < 5; ++i) {
    TSimDepartment d;
    d.Group = 2;
    d.Text1 = kNames[i];
    Departments[i + 1] = d;
  }
  Operators[1] = {"0000", "OPERATOR 1"};
}

int TSimState::FreeFmRecords() const {
  int used = static_cast<int>(Fm.size());
  return used >= FmCapacity ? 0 : FmCapacity - used;
}

}  // namespace sim

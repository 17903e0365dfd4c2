#pragma once

#include <functional>
#include <string>
#include <vector>

#include "SimState.h"
#include "SimStateFields.h"

namespace sim {

// One scalar line of the state file: how to write it and how to read it back
// within the model's limits ("" when read, otherwise why not).
struct TEntry {
  const char* Key;
  std::function<TFields()> Get;
  std::function<std::string(const TFields&)> Set;
};

// The scalar lines of `s`, in the order they are written; Set writes into `s`.
std::vector<TEntry> ScalarEntries(TSimState& s);

}  // namespace sim

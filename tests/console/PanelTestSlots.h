#pragma once

#include "ConsoleTestSupport.h"

// Every test function of a panel gets a window of its own; the simulator it
// starts is stopped when it ends, so nothing outlives the test.
inline void ReleaseForm(TFormFixture& f) {
  f.Form.reset();
  f.Sim.reset();
}

inline void FreshForm(TFormFixture& f) {
  ReleaseForm(f);
  f.Open();
}

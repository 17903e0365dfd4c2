#pragma once

#include <cstdint>
#include <string>

#include "InfoRecords.h"

// One department to program (57H).
struct TDepartmentInfo {
  std::int32_t DepNo = 0;
  char VatGroup = 0;
  std::string DepText1;
  std::string DepText2;
};

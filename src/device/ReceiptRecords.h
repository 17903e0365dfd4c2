#pragma once

#include <cstdint>
#include <string>

#include "DateTimeUtil.h"

// Inputs of opening a fiscal receipt (90H).
struct TFiskParam {
  std::int32_t OperatorNo = 0;
  std::string OperatorName;
  std::string OperatorPassword;
  std::string UniqueSellNo;
  bool IsInvoice = false;
  bool IsStorno = false;
  std::string StornoFMIN;
  std::int32_t StornoReceiptNo = 0;
  char StornoReason = 0;
  TDateTime StornoDateTime = 0;
  std::int64_t StornoInvoiceNo = 0;
  std::string DeviceFMIN;
};

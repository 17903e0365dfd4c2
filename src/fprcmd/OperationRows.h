#pragma once

#include <string>
#include <vector>

#include "OperationTable.h"

// The rows of the operation table, one file per group of the device's declaration.

// Builds the argument or out-value list of one row.
struct TSpecs {
  TSpecs& Add(const std::string& name, TValueKind kind);
  TSpecs& Opt(const std::string& name, TValueKind kind);  // a record field with a default
  TSpecs& Array(const std::string& name, int count, TValueKind kind);  // Name[1]..Name[count]
  operator std::vector<TValueSpec>() const { return Items; }
  std::vector<TValueSpec> Items;
};

// Device state, counters, register reads, comment receipt, barcode, invoice
// data, duplicate and the recovery.
void AddInfoOperations(std::vector<TOperation>& ops);
// Fiscal receipt, sales, discount, subtotal, payment and fiscal text.
void AddReceiptOperations(std::vector<TOperation>& ops);
// Reports, programming, cash in and out, and any command with a free text.
void AddProgrammingOperations(std::vector<TOperation>& ops);

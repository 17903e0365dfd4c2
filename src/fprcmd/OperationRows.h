#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "OperationTable.h"

// The rows of the operation table, one file per group of the device's declaration.

// Builds the argument or out-value list of one row.
struct TDecls {
  TDecls& Add(const std::string& name, TValueKind kind);
  TDecls& Opt(const std::string& name, TValueKind kind);  // a record field with a default
  TDecls& Array(const std::string& name, int count, TValueKind kind);  // Name[1]..Name[count]
  operator std::vector<TValueDecl>() const { return Items; }
  std::vector<TValueDecl> Items;
};

// The fields of a record bound to their names ("Prefix.Field", array items
// "Prefix.Field[i]"): one list gives the argument or out-value decls and moves
// the values, so that every name is written once.
template <typename R>
class TRecordFields {
 public:
  explicit TRecordFields(std::string prefix) : Prefix_(std::move(prefix)) {}

  template <typename T>
  TRecordFields& Field(const char* name, T R::*member, TValueKind kind, bool optional = false) {
    const std::string full = Prefix_ + "." + name;
    Decls_.push_back({full, kind, optional});
    Take_.push_back([full, member](const TOpCall& c, R& r) { c.Take(full, r.*member); });
    Out_.push_back([full, member](TOpCall& c, const R& r) { c.Out(full, r.*member); });
    return *this;
  }

  template <typename T, std::size_t N>
  TRecordFields& Array(const char* name, TOneBasedArray<T, N> R::*member, TValueKind kind) {
    for (int i = 1; i <= static_cast<int>(N); ++i) {
      const std::string full = Prefix_ + "." + name + "[" + std::to_string(i) + "]";
      Decls_.push_back({full, kind, false});
      Take_.push_back([full, member, i](const TOpCall& c, R& r) { c.Take(full, (r.*member)[i]); });
      Out_.push_back([full, member, i](TOpCall& c, const R& r) { c.Out(full, (r.*member)[i]); });
    }
    return *this;
  }

  const std::vector<TValueDecl>& Decls() const { return Decls_; }
  // The record with every given argument set, the others at the record's default.
  R Read(const TOpCall& c) const {
    R r{};
    for (const auto& take : Take_) take(c, r);
    return r;
  }
  void Write(TOpCall& c, const R& r) const {
    for (const auto& out : Out_) out(c, r);
  }

 private:
  std::string Prefix_;
  std::vector<TValueDecl> Decls_;
  std::vector<std::function<void(const TOpCall&, R&)>> Take_;
  std::vector<std::function<void(TOpCall&, const R&)>> Out_;
};

// The field's name as written in the record, and the field.
#define FPR_FIELD(Record, Field) #Field, &Record::Field

// The general settings of 53H, read and written alike.
const TRecordFields<TGeneralPRNSettings>& GeneralPRNSettings();

// Device state, counters, register reads, comment receipt, barcode, invoice
// data, duplicate and the recovery.
void AddInfoOperations(std::vector<TOperation>& ops);
// Fiscal receipt, sales, discount, subtotal, payment and fiscal text.
void AddReceiptOperations(std::vector<TOperation>& ops);
// Reports, programming, cash in and out, and any command with a free text.
void AddProgrammingOperations(std::vector<TOperation>& ops);

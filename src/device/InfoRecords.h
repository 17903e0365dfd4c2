#pragma once

#include <cstdint>
#include <string>

#include "OneBasedArray.h"

// Device identity and firmware data (5AH).
struct TDiagnosticInfo {
  std::string PrinterName;
  std::string ProgramRevision;
  std::string VersionDate;
  std::string VersionTime;
  std::string Checksum;
  std::string Switches;
  std::string SerialNumber;
  std::string FiscalNumber;
};

// Amounts or rates of VAT groups 1..8.
using TTaxValues = TOneBasedArray<double, 8>;

struct TPayTypeTotals {
  TOneBasedArray<double, 11> PayTotals;  // payment types 1..11, currency units
  std::int32_t Closure = 0;
  std::int32_t ReceiptNo = 0;
};

// Department data read with 58H.
struct TDepartmentSum {
  char ExitCode = 0;
  char TaxGroup = static_cast<char>(0xC0);
  std::int64_t CountSales = 0;
  double RecSum = 0;
  std::int64_t TotalSales = 0;
  double TotalSum = 0;
  std::string Text1;
  std::string Text2;
};

// A PLU, programmed with 6BH P and read back with 6BH R.
struct TPluData {
  std::int32_t PluNo = 0;
  std::string PluName;
  char VatGroup = 0;
  std::int32_t GroupNom = 0;
  double UnitPrice = 0;
  double Quantity = 0;
  double TotalSum = 0;
  double Sold = 0;
  double AvailQtty = 0;
};

// General printer settings of 53H.
struct TGeneralPRNSettings {
  std::int32_t Multiplier = 0;
  std::int32_t Decimals = 0;
  std::string CurrencyName;
  TOneBasedArray<bool, 8> TaxEnabled;
  TOneBasedArray<double, 8> TaxVals;
};

// Customer of an invoice (39H).
struct TInvoiceClientData {
  std::string ClientName;
  std::string TaxNo;
  std::string EIK;
  std::string AddressLine1;
  std::string Address;
  std::string MOL;
  std::string Receiver;
};

// Payment type number to the letter that selects it (55H); others give 'P'.
char PayTypeLetter(std::int64_t payType);

#include "InformationTexts.h"

namespace {
const char* const kCrLf = "\r\n";
}

const char* BoolText(bool value) { return value ? "True" : "False"; }

std::string DiagnosticInfoText(const TDiagnosticInfo& info) {
  return "Printer name : " + info.PrinterName + kCrLf +
         "Program revision   : " + info.ProgramRevision + kCrLf +
         "Printer ver. date  : " + info.VersionDate + kCrLf +
         "Printer ver. time  : " + info.VersionTime + kCrLf +
         "Printer checksum   : " + info.Checksum + kCrLf + "Printer switches   : " + info.Switches +
         kCrLf + "Printer serial nom : " + info.SerialNumber + kCrLf +
         "Printer fiscal nom : " + info.FiscalNumber;
}

std::string FirstUniqueSellNo(const std::string& serialNumber) {
  return serialNumber + "-0001" + "-00000001";
}

std::string VatLinesText(const TTaxValues& values, const TRegionalSettings& rs) {
  std::string text;
  for (int i = 1; i <= 8; ++i) {
    text += "VAT[" + IntToStr(i) + "] " + Format2(values[i], rs) + kCrLf;
  }
  return text;
}

std::string LastReceiptInfoText(bool canVoid, const TTaxValues& amounts, bool isInvoice,
                                std::int64_t nextInvNo, const TRegionalSettings& rs) {
  std::string text = std::string("Can VOID: ") + BoolText(canVoid) + kCrLf;
  text += std::string("Is invoice: ") + BoolText(isInvoice) + kCrLf;
  text += "Next inv.nom: " + IntToStr(nextInvNo) + " " + kCrLf;
  return text + VatLinesText(amounts, rs);
}

std::string FiscalStatusText(bool open, std::int32_t itemsCount, double amount, double tender,
                             const TRegionalSettings& rs) {
  return "ItemsCount: " + IntToStr(itemsCount) + "\r" +  //
         "Amount sum: " + Format2(amount, rs) + "\r" +   //
         "Tender sum: " + Format2(tender, rs) + "\r" +   //
         (open ? "Receipt is open." : "Receipt is closed.");
}

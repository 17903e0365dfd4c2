// Read-only queries of the device state, and setting the clock.
#include <vector>

#include "SimClock.h"
#include "SimModel.h"
#include "SimText.h"

namespace sim {

namespace {

// Digit runs of a date-time text, whatever separates them.
std::vector<int> DigitRuns(const std::string& d) {
  std::vector<int> runs;
  std::string cur;
  for (char c : d + " ") {
    if (c >= '0' && c <= '9') {
      cur.push_back(c);
    } else if (!cur.empty()) {
      if (cur.size() > 4) return {};
      runs.push_back(static_cast<int>(*ParseInt(cur)));
      cur.clear();
    }
  }
  return runs;
}

}  // namespace

// 3EH: DD-MM-YY HH:MM:SS
std::string TFiscalModel::GetDateTime(const std::string&) {
  TCivil c = ToCivil(Now());
  return Two(c.Day) + "-" + Two(c.Month) + "-" + Two(c.Year % 100) + " " + Two(c.Hour) + ":" +
         Two(c.Minute) + ":" + Two(c.Second);
}

// 3DH: dd-mm-yy hh:nn[:ss], any separators.
std::string TFiscalModel::SetDateTime(const std::string& d) {
  std::vector<int> r = DigitRuns(d);
  if (r.size() != 5 && r.size() != 6) Syntax("DATE FORMAT");
  TCivil c{r[2] < 100 ? 2000 + r[2] : r[2], r[1], r[0], r[3], r[4], r.size() == 6 ? r[5] : 0};
  auto secs = FromCivil(c);
  if (!secs) Syntax("INVALID DATE");
  RequireNoReceipt();
  if (!S_.Fm.empty() && *secs < S_.Fm.back().Time) Denied("DATE BEFORE LAST Z REPORT");
  S_.ClockOffset = *secs - Clock_();
  return {};
}

// 4AH: the status bytes say it all.
std::string TFiscalModel::GetStatus(const std::string&) { return {}; }

// 5AH: name,revision date time,checksum,switches,serial,fiscal memory number
std::string TFiscalModel::GetDiagnostic(const std::string&) {
  return S_.PrinterName + "," + S_.Revision + " " + S_.VersionDate + " " + S_.VersionTime + "," +
         S_.FwChecksum + "," + S_.Switches + "," + S_.SerialNumber + "," + S_.FiscalNumber;
}

std::string TFiscalModel::GetEik(const std::string&) { return S_.Eik; }

std::string TFiscalModel::GetLastDoc(const std::string&) { return IntText(S_.DocNumber); }

// 4CH: open,items,amount,tender (amounts in hundredths)
std::string TFiscalModel::GetFiscalStatus(const std::string&) {
  if (!S_.FiscalOpen()) return "0,0,0,0";
  const TSimReceipt& r = S_.Receipt;
  return "1," + IntText(r.SaleCount()) + "," + IntText(r.Total()) + "," + IntText(r.PaidTotal());
}

// 61H: eight rates as decimal text
std::string TFiscalModel::GetVatRates(const std::string&) {
  std::string out;
  for (auto rate : S_.TaxRates) out += (out.empty() ? "" : ",") + Money(rate);
  return out;
}

std::string TFiscalModel::GetFreeFm(const std::string&) { return IntText(S_.FreeFmRecords()); }

// 67H: canVoid,8 group amounts,isInvoice,nextInvoiceNo
std::string TFiscalModel::GetLastReceipt(const std::string&) {
  bool open = S_.FiscalOpen();
  bool canVoid = open && S_.Receipt.PaidTotal() == 0;
  TGroupSums groups = open ? S_.Receipt.GroupSums() : S_.Last.Groups;
  bool invoice = open ? S_.Receipt.Invoice : S_.Last.Invoice;
  return std::string(canVoid ? "1" : "0") + "," + JoinInts(groups) + "," + (invoice ? "1" : "0") +
         "," + IntText(S_.Invoices.Current);
}

// 41H: "0" turnover, "1" VAT of the day by group
std::string TFiscalModel::GetTotals(const std::string& d) {
  if (d != "0" && d != "1") Syntax("OPTION");
  if (d == "0") return JoinInts(S_.DaySales);
  TGroupSums vat{};
  for (std::size_t g = 0; g < vat.size(); ++g) {
    vat[g] = MulDivRound(S_.DaySales[g], S_.TaxRates[g], 10000 + S_.TaxRates[g]);
  }
  return JoinInts(vat);
}

// 6EH: totals by payment type, closure number, fiscal receipt counter. Option "8"
// reports the first eight types only, anything else all eleven.
std::string TFiscalModel::GetPayTotals(const std::string& d) {
  std::size_t types = d == "8" ? 8 : S_.DayPayments.size();
  std::string out;
  for (std::size_t i = 0; i < types; ++i) out += IntText(S_.DayPayments[i]) + ",";
  return out + IntText(S_.Closure) + "," + IntText(S_.FiscalReceipts);
}

}  // namespace sim

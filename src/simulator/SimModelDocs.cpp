// Non-fiscal documents and reports: comment receipt, barcode, duplicate, daily
// and fiscal-memory reports.
#include <cstdint>

#include "SimClock.h"
#include "SimModel.h"
#include "SimText.h"

namespace sim {

namespace {

bool ValidBarcode(int type, const std::string& data) {
  bool digits = AllDigits(data);
  switch (type) {
    case 1:
      return digits && (data.size() == 7 || data.size() == 8);  // EAN8
    case 2:
      return digits && (data.size() == 12 || data.size() == 13);  // EAN13
    case 4:
      return digits && data.size() % 2 == 0;  // ITF with its check digit
    case 5:
      return digits && data.size() <= 30;  // ITF
    default:
      return !data.empty() && data.size() <= 42;  // Code 128 and others
  }
}

// ddmmyy as the start of that day on the device clock.
std::int64_t DayStart(const std::string& ddmmyy) {
  if (ddmmyy.size() != 6 || !AllDigits(ddmmyy)) Syntax("DATE");
  auto two = [&](std::size_t pos) { return (ddmmyy[pos] - '0') * 10 + (ddmmyy[pos + 1] - '0'); };
  auto secs = FromCivil({2000 + two(4), two(2), two(0), 0, 0, 0});
  if (!secs) Syntax("DATE");
  return *secs;
}

}  // namespace

// 26H: answers the receipt counter.
std::string TFiscalModel::OpenComment(const std::string&) {
  RequireNoReceipt();
  S_.Receipt = TSimReceipt{};
  S_.Receipt.Kind = TSimReceipt::EKind::Comment;
  Count(S_.AllReceipts);
  Count(S_.DocNumber);
  PrintHeader();
  Print("NON-FISCAL RECEIPT");
  return IntText(S_.AllReceipts);
}

std::string TFiscalModel::CommentText(const std::string& d) {
  if (!S_.CommentOpen()) Denied("NO COMMENT RECEIPT OPEN");
  Print(d);
  return {};
}

std::string TFiscalModel::CloseComment(const std::string&) {
  if (!S_.CommentOpen()) Denied("NO COMMENT RECEIPT OPEN");
  S_.Receipt = TSimReceipt{};
  Print("NON-FISCAL RECEIPT END");
  return IntText(S_.AllReceipts);
}

// 54H: type,data (text under the barcode) or type;data (no text); inside a receipt.
std::string TFiscalModel::Barcode(const std::string& d) {
  std::size_t sep = d.find_first_of(",;");
  if (sep == std::string::npos || sep == 0 || sep > 1 || d[0] < '1' || d[0] > '6') {
    Syntax("BARCODE TYPE");
  }
  std::string data = d.substr(sep + 1);
  if (!ValidBarcode(d[0] - '0', data)) Syntax("BARCODE DATA");
  if (!S_.FiscalOpen() && !S_.CommentOpen()) Denied("NO RECEIPT OPEN");
  Print("|||| BARCODE " + d.substr(0, 1) + " " + data + (d[sep] == ',' ? " (text)" : ""));
  return {};
}

// 6DH: one duplicate of the last fiscal receipt.
std::string TFiscalModel::Duplicate(const std::string&) {
  RequireNoReceipt();
  if (!S_.Last.Exists) Denied("NO RECEIPT TO DUPLICATE");
  if (S_.Last.Duplicated) Denied("DUPLICATE ALREADY PRINTED");
  S_.Last.Duplicated = true;
  Count(S_.DocNumber);
  Print("DUPLICATE");
  return {};
}

void TFiscalModel::ResetDay(bool plus) {
  S_.DaySales = {};
  S_.DayRefunds = {};
  S_.DayPayments = {};
  S_.CashIn = S_.CashOut = S_.Cash = 0;
  for (auto& [no, dep] : S_.Departments) dep.DayCount = dep.DayTotal = 0;
  if (plus) {
    for (auto& [no, plu] : S_.Plus) plu.Sold = plu.Total = 0;
  }
}

// 45H, 75H, 76H: "0" Z report (resets the day), "2" X report.
// Answer: closure,total,8 group sums, all in hundredths.
std::string TFiscalModel::DailyReport(const std::string& d) {
  if (d != "0" && d != "2") Syntax("REPORT OPTION");
  RequireNoReceipt();
  bool zero = d == "0";
  if (zero && S_.FreeFmRecords() == 0) Denied("FISCAL MEMORY FULL");
  std::int64_t total = 0;
  for (auto v : S_.DaySales) total += v;
  std::string answer = IntText(S_.Closure) + "," + IntText(total) + "," + JoinInts(S_.DaySales);
  Count(S_.DocNumber);
  WorkMs_ = ReportWorkMs_;
  Print(std::string(zero ? "Z" : "X") + " REPORT " + IntText(S_.Closure) + " TOTAL " +
        Money(total));
  if (zero) {
    S_.Fm.push_back({S_.Closure, Now(), total});
    Count(S_.Closure);
    ResetDay(Cmd_ == 0x76);
  }
  return answer;
}

// 49H, 5FH: low[,high] closure numbers.
std::string TFiscalModel::FmReportByBlock(const std::string& d) {
  auto f = Split(d, ',');
  if (f.size() > 2) Syntax("BLOCK RANGE");
  auto low = AllDigits(f[0]) && f[0].size() < 10 ? ParseInt(f[0]) : std::nullopt;
  auto high = f.size() == 2 && AllDigits(f[1]) && f[1].size() < 10 ? ParseInt(f[1]) : low;
  if (!low || !high || *high < *low) Syntax("BLOCK RANGE");
  RequireNoReceipt();
  Count(S_.DocNumber);
  WorkMs_ = ReportWorkMs_;
  int printed = 0;
  for (const auto& rec : S_.Fm) {
    if (rec.Closure >= *low && (f.size() == 1 || rec.Closure <= *high)) {
      Print("Z " + IntText(rec.Closure) + " " + Money(rec.Total));
      ++printed;
    }
  }
  if (printed == 0) Print("NO DATA");
  return {};
}

// 5EH, 4FH: ddmmyy[,ddmmyy].
std::string TFiscalModel::FmReportByDate(const std::string& d) {
  auto f = Split(d, ',');
  if (f.size() > 2) Syntax("DATE RANGE");
  std::int64_t from = DayStart(f[0]);
  std::int64_t to = f.size() == 2 ? DayStart(f[1]) : INT64_MAX - 86399;
  if (to < from) Syntax("DATE RANGE");
  to += 86399;
  RequireNoReceipt();
  Count(S_.DocNumber);
  WorkMs_ = ReportWorkMs_;
  int printed = 0;
  for (const auto& rec : S_.Fm) {
    if (rec.Time >= from && rec.Time <= to) {
      Print("Z " + IntText(rec.Closure) + " " + Money(rec.Total));
      ++printed;
    }
  }
  if (printed == 0) Print("NO DATA");
  return {};
}

}  // namespace sim

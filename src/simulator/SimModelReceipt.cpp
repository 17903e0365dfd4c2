// The fiscal receipt: open, subtotal, payment, text, client data, close, void.
#include <optional>
#include <vector>

#include "SimClock.h"
#include "SimModel.h"
#include "SimText.h"

namespace sim {

namespace {

// Three groups joined by "-", letters and digits only, the last one a sale
// counter from 1 to 99999999.
bool ValidSaleNo(const std::string& s) {
  for (char c : s) {
    bool ok =
        c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!ok) return false;
  }
  auto groups = Split(s, '-');
  if (groups.size() != 3 || groups[0].empty() || groups[1].empty()) return false;
  if (!AllDigits(groups[2]) || groups[2].size() > 8) return false;
  auto counter = ParseInt(groups[2]);
  return counter && *counter >= 1;
}

// yyyy-mm-ddThh:nn:ss with any time separator.
bool ValidIsoDateTime(const std::string& s) {
  if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != 'T') return false;
  auto num = [&](std::size_t pos, std::size_t n) {
    auto v = AllDigits(s.substr(pos, n)) ? ParseInt(s.substr(pos, n)) : std::nullopt;
    return v ? static_cast<int>(*v) : -1;
  };
  TCivil c{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2)};
  return FromCivil(c).has_value();
}

struct TOpenRequest {
  bool Invoice = false;
  bool Storno = false;
  bool CreditNote = false;
};

// Fields after the sale number: I | S,<fm no>,<reason>,<receipt no>[,<date>][,<invoice no>]
TOpenRequest ParseOpenMode(const std::vector<std::string>& f) {
  TOpenRequest r;
  if (f.size() == 2) return r;
  if (f[2] == "I" && f.size() == 3) {
    r.Invoice = true;
    return r;
  }
  if (f[2] != "S" || f.size() < 6 || f.size() > 8) Syntax("RECEIPT TYPE");
  r.Storno = true;
  if (Trim(f[3]).empty()) Syntax("FISCAL MEMORY NUMBER");
  if (f[4] != "O" && f[4] != "R" && f[4] != "T") Syntax("REFUND REASON");
  auto receipt = AllDigits(f[5]) && f[5].size() < 10 ? ParseInt(f[5]) : std::nullopt;
  if (!receipt || *receipt < 1) Syntax("RECEIPT NUMBER");
  for (std::size_t i = 6; i < f.size(); ++i) {
    if (ValidIsoDateTime(f[i])) continue;
    auto inv = AllDigits(f[i]) && f[i].size() <= 11 ? ParseInt(f[i]) : std::nullopt;
    if (!inv || *inv < 1) Syntax("REFUND DATE OR INVOICE");
    r.CreditNote = true;
  }
  return r;
}

}  // namespace

// 90H: operator,sale number[,I | ,S,...]; answers all receipts,fiscal receipts.
std::string TFiscalModel::OpenFiscal(const std::string& d) {
  auto f = Split(d, ',');
  if (f.size() < 2) Syntax("OPEN DATA");
  if (!ValidSaleNo(f[1])) Syntax("INVALID UNIQUE SALE NUMBER");
  TOpenRequest mode = ParseOpenMode(f);
  RequireNoReceipt();
  if (S_.FreeFmRecords() == 0) Denied("FISCAL MEMORY FULL");
  TSimInvoiceRange& range = mode.CreditNote ? S_.CreditNotes : S_.Invoices;
  bool numbered = mode.Invoice || mode.CreditNote;
  if (numbered && (range.Current < range.Start || range.Current > range.End)) {
    Denied(mode.Invoice ? "INVOICE RANGE EXHAUSTED" : "CREDIT NOTE RANGE EXHAUSTED");
  }
  TSimReceipt& r = S_.Receipt;
  r = TSimReceipt{};
  r.Kind = TSimReceipt::EKind::Fiscal;
  r.Invoice = mode.Invoice;
  r.Storno = mode.Storno;
  r.Operator = f[0];
  r.SaleNo = f[1];
  r.DocNo = numbered ? range.Current : 0;
  Count(S_.AllReceipts);
  Count(S_.FiscalReceipts);
  Count(S_.DocNumber);
  PrintHeader();
  if (mode.Invoice) Print("INVOICE " + IntText(r.DocNo));
  if (mode.Storno) Print(mode.CreditNote ? "CREDIT NOTE " + IntText(r.DocNo) : "REFUND");
  Print("OPERATOR " + f[0] + "  " + f[1]);
  return IntText(S_.AllReceipts) + "," + IntText(S_.FiscalReceipts);
}

// 33H: <print><display>[,perc | ;amount]; answers subtotal and the 8 group sums.
std::string TFiscalModel::Subtotal(const std::string& d) {
  auto flag = [](char c) { return c == '0' || c == '1'; };
  if (d.size() < 2 || !flag(d[0]) || !flag(d[1])) Syntax("SUBTOTAL FLAGS");
  std::string rest = d.substr(2);
  if (!rest.empty() && rest[0] != ',' && rest[0] != ';') Syntax("SUBTOTAL DATA");
  auto value = rest.empty() ? std::optional<std::int64_t>(0) : ParseScaled(rest.substr(1), 2);
  if (!value) Syntax("DISCOUNT VALUE");
  bool perc = !rest.empty() && rest[0] == ',';
  if (perc && (*value < -kMaxPerc || *value > kMaxPerc)) Syntax("PERCENT RANGE");
  RequireFiscal();
  TGroupSums groups = S_.Receipt.GroupSums();
  std::int64_t total = S_.Receipt.Total();
  if (*value != 0) {
    RequireNoPayment();
    if (total <= 0) Denied("NOTHING TO DISCOUNT");
    if (!perc && total + *value < 0) Denied("DISCOUNT TOO LARGE");
    if (total + (perc ? MulDivRound(total, *value, 10000) : *value) > kMaxAmount) {
      Overflow("RECEIPT TOTAL");
    }
    std::int64_t spread = 0;
    int lastGroup = -1;
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (groups[g] > 0) lastGroup = static_cast<int>(g);
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (groups[g] <= 0) continue;
      std::int64_t adj = perc                               ? MulDivRound(groups[g], *value, 10000)
                         : static_cast<int>(g) == lastGroup ? *value - spread
                                                            : MulDivRound(*value, groups[g], total);
      spread += adj;
      if (adj == 0) continue;
      TSimLine line;
      line.Group = static_cast<int>(g) + 1;
      line.Amount = adj;
      line.Adjustment = true;
      AddLine(line);
    }
    groups = S_.Receipt.GroupSums();
    total = S_.Receipt.Total();
    for (auto v : groups) {
      if (v < 0) Denied("DISCOUNT TOO LARGE");
    }
    // The shares are rounded one by one, so their sum may pass the limit checked above.
    if (total > kMaxAmount) Overflow("RECEIPT TOTAL");
    Print((spread < 0 ? "DISCOUNT " : "SURCHARGE ") + Money(spread));
  }
  if (d[0] == '1') Print("SUBTOTAL " + Money(total));
  return IntText(total) + "," + JoinInts(groups);
}

// 35H: [Text1][LF Text2] TAB <type>[+]<amount>. Amount 0 pays what is due.
// Answers D,<still due> or R,<change>; refusals: F (nothing to pay, negative
// amount), I (a type other than cash would exceed what is due), E (negative total).
std::string TFiscalModel::Payment(const std::string& d) {
  std::size_t tab = d.rfind('\t');
  if (tab == std::string::npos || tab + 1 >= d.size()) Syntax("PAYMENT DATA");
  int idx = PayIndexOf(d[tab + 1]);
  if (idx < 0) Syntax("PAYMENT TYPE");
  std::string amountText = d.substr(tab + 2);
  auto amount = amountText.empty() ? std::optional<std::int64_t>(0) : ParseScaled(amountText, 2);
  if (!amount) Syntax("PAYMENT AMOUNT");
  RequireFiscal();
  TSimReceipt& r = S_.Receipt;
  std::int64_t total = r.Total();
  std::int64_t paid = r.PaidTotal();
  std::int64_t due = total - paid;
  if (total < 0) return "E," + IntText(due);
  if (*amount < 0 || (due <= 0 && paid > 0)) return "F," + IntText(due);
  std::int64_t pay = *amount == 0 ? due : *amount;
  if (idx != kCashIndex && pay > due) return "I," + IntText(due);
  if (pay > kMaxAmount) Overflow("PAYMENT");
  r.Paid[static_cast<std::size_t>(idx)] += pay;
  if (tab > 0) Print(d.substr(0, tab));
  Print(S_.PayNames[static_cast<std::size_t>(idx)] + " " + Money(pay));
  std::int64_t left = due - pay;
  if (left > 0) return "D," + IntText(left);
  if (left < 0) Print("CHANGE " + Money(-left));
  return "R," + IntText(-left);
}

std::string TFiscalModel::FiscalText(const std::string& d) {
  RequireFiscal();
  Print(d);
  return {};
}

// 39H: EIK TAB (empty) TAB receiver TAB client TAB tax no [TAB address [LF address]]
std::string TFiscalModel::ClientData(const std::string& d) {
  auto f = Split(d, '\t');
  if (f.size() < 5 || f.size() > 6 || Trim(f[0]).empty()) Syntax("CLIENT DATA");
  RequireFiscal();
  if (!S_.Receipt.Invoice) Denied("NOT AN INVOICE");
  S_.Receipt.ClientData = true;
  Print("EIK " + f[0]);
  for (std::size_t i = 2; i < f.size(); ++i) {
    if (!f[i].empty()) Print(f[i]);
  }
  return {};
}

void TFiscalModel::BookReceipt() {
  const TSimReceipt& r = S_.Receipt;
  std::int64_t change = r.PaidTotal() - r.Total();
  std::int64_t cash = r.Paid[kCashIndex] - (change > 0 ? change : 0);
  TGroupSums groups = r.GroupSums();
  TGroupSums& day = r.Storno ? S_.DayRefunds : S_.DaySales;
  for (std::size_t g = 0; g < groups.size(); ++g) AddTo(day[g], groups[g], "DAY TOTAL");
  AddTo(S_.Cash, r.Storno ? -cash : cash, "CASH SUM");
  for (const TSimLine& l : r.Lines) {
    if (l.Adjustment) continue;
    auto dep = S_.Departments.find(l.Dept);
    if (!r.Storno && dep != S_.Departments.end()) {
      Count(dep->second.DayCount);
      AddTo(dep->second.DayTotal, l.Amount, "DEPARTMENT TOTAL");
    }
    auto plu = S_.Plus.find(l.Plu);
    if (plu == S_.Plus.end()) continue;
    AddTo(plu->second.Avail, r.Storno ? l.Qty : -l.Qty, "PLU QUANTITY");
    if (!r.Storno) {
      AddTo(plu->second.Sold, l.Qty, "PLU QUANTITY");
      AddTo(plu->second.Total, l.Amount, "PLU TOTAL");
    }
  }
  if (r.Storno) return;
  for (std::size_t i = 0; i < r.Paid.size(); ++i) AddTo(S_.DayPayments[i], r.Paid[i], "PAYMENTS");
  if (change > 0) AddTo(S_.DayPayments[kCashIndex], -change, "PAYMENTS");
}

// 38H: needs the receipt paid, and the client data for an invoice.
std::string TFiscalModel::CloseFiscal(const std::string&) {
  RequireFiscal();
  TSimReceipt& r = S_.Receipt;
  if (r.PaidTotal() < r.Total()) Denied("PAYMENT NOT COMPLETED");
  if (r.Invoice && !r.ClientData) Denied("CLIENT DATA REQUIRED");
  BookReceipt();
  // The next number stays within one past the largest a range may end with.
  TSimInvoiceRange& range = r.Invoice ? S_.Invoices : S_.CreditNotes;
  if (r.DocNo != 0 && range.Current <= kMaxInvoiceNo) ++range.Current;
  S_.Last = TSimLastReceipt{r.GroupSums(), r.Invoice, true, false};
  Print("TOTAL " + Money(r.Total()));
  r = TSimReceipt{};
  for (int i = 6; i < kHeaderLines; ++i) {
    if (!S_.Lines[static_cast<std::size_t>(i)].empty())
      Print(S_.Lines[static_cast<std::size_t>(i)]);
  }
  Print("FISCAL RECEIPT " + IntText(S_.FiscalReceipts));
  return IntText(S_.AllReceipts) + "," + IntText(S_.FiscalReceipts);
}

// 3CH: only before the first payment.
std::string TFiscalModel::VoidFiscal(const std::string&) {
  RequireFiscal();
  RequireNoPayment();
  S_.Receipt = TSimReceipt{};
  S_.Last = TSimLastReceipt{};
  Print("VOID");
  return {};
}

}  // namespace sim

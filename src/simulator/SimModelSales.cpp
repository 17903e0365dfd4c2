// Sales inside a fiscal receipt: by VAT group, by department, of a PLU, and the
// discount on the last sale.
#include "SimModel.h"
#include "SimText.h"

namespace sim {

namespace {

int DeptNumber(const std::string& text) {
  auto v = AllDigits(text) && text.size() <= 3 ? ParseInt(text) : std::nullopt;
  if (!v || *v > 255) Syntax("DEPARTMENT NUMBER");
  return static_cast<int>(*v);
}

// Texts before the TAB: Text1 [LF Text2], each printed on its own line.
std::string SaleText(const std::string& head) {
  std::string t = head;
  for (char& c : t) {
    if (c == '\n') c = '/';
  }
  return t;
}

}  // namespace

// "[*qty][,perc|;abs]"
TFiscalModel::TSaleMods TFiscalModel::ParseMods(const std::string& rest, bool allowAbs) {
  TSaleMods m;
  std::size_t pos = 0;
  if (pos < rest.size() && rest[pos] == '*') {
    std::size_t end = rest.find_first_of(",;", pos + 1);
    auto q = ParseScaled(rest.substr(pos + 1, end - pos - 1), 3);
    if (!q || *q <= 0) Syntax("QUANTITY");
    m.Qty = *q;
    pos = end == std::string::npos ? rest.size() : end;
  }
  if (pos < rest.size()) {
    bool abs = rest[pos] == ';';
    if (abs && !allowAbs) Syntax("DISCOUNT");
    auto v = ParseScaled(rest.substr(pos + 1), 2);
    if (!v) Syntax("DISCOUNT");
    if (!abs && (*v < -kMaxPerc || *v > kMaxPerc)) Syntax("PERCENT RANGE");
    (abs ? m.Abs : m.Perc) = *v;
  }
  return m;
}

void TFiscalModel::AddSaleLine(TSimLine line, std::int64_t price, const TSaleMods& mods,
                               const std::string& text) {
  if (!S_.TaxEnabled[static_cast<std::size_t>(line.Group - 1)]) Denied("VAT GROUP DISABLED");
  std::int64_t amount = MulDivRound(price, mods.Qty, 1000);
  if (amount > kMaxAmount || amount < -kMaxAmount) Overflow("AMOUNT");
  std::int64_t disc = mods.Perc != 0 ? MulDivRound(amount, mods.Perc, 10000) : mods.Abs;
  line.Qty = mods.Qty;
  line.Amount = amount + disc;
  if (amount >= 0 && line.Amount < 0) Denied("DISCOUNT TOO LARGE");
  TGroupSums sums = S_.Receipt.GroupSums();
  if (sums[static_cast<std::size_t>(line.Group - 1)] + line.Amount < 0) Denied("NEGATIVE AMOUNT");
  if (S_.Receipt.Total() + line.Amount > kMaxAmount) Overflow("RECEIPT TOTAL");
  AddLine(line);
  if (!text.empty()) Print(text);
  Print(Qty(mods.Qty) + " x " + Money(price) + " = " + Money(amount) + " " + VatLetter(line.Group));
  if (disc != 0) Print((disc < 0 ? "DISCOUNT " : "SURCHARGE ") + Money(disc));
}

// 31H and 34H: [Text1][LF Text2] TAB <letter><price>[mods]
//           or [Text1][LF Text2] TAB <dept> TAB <price>[mods]
std::string TFiscalModel::Sale(const std::string& d) {
  std::size_t tab = d.rfind('\t');
  if (tab == std::string::npos) Syntax("SALE DATA");
  std::string head = d.substr(0, tab);
  std::string tail = d.substr(tab + 1);
  TSimLine line;
  bool byDept = false;
  if (!tail.empty() && VatGroupOf(tail[0])) {
    line.Group = VatGroupOf(tail[0]);
    tail.erase(0, 1);
  } else {
    std::size_t tab2 = head.rfind('\t');
    if (tab2 == std::string::npos) Syntax("SALE DATA");
    line.Dept = DeptNumber(head.substr(tab2 + 1));
    head.erase(tab2);
    byDept = true;
  }
  std::size_t end = tail.find_first_of("*,;");
  auto price = ParseScaled(tail.substr(0, end), 2);
  if (!price) Syntax("PRICE");
  TSaleMods mods = ParseMods(end == std::string::npos ? "" : tail.substr(end), Cmd_ == 0x34);
  RequireFiscal();
  RequireNoPayment();
  if (byDept) {
    auto it = S_.Departments.find(line.Dept);
    if (it == S_.Departments.end()) Denied("UNKNOWN DEPARTMENT");
    line.Group = it->second.Group;
  }
  AddSaleLine(line, *price, mods, SaleText(head));
  return {};
}

// 3AH: [D]<plu>[TAB <dept> TAB][mods] at the programmed price.
std::string TFiscalModel::PluSale(const std::string& d) {
  std::size_t pos = !d.empty() && d[0] == 'D' ? 1 : 0;
  std::size_t end = d.find_first_not_of("0123456789", pos);
  std::string number = d.substr(pos, end - pos);
  auto no = AllDigits(number) && number.size() < 6 ? ParseInt(number) : std::nullopt;
  if (!no) Syntax("PLU NUMBER");
  std::string rest = end == std::string::npos ? "" : d.substr(end);
  int dept = 0;
  if (!rest.empty() && rest[0] == '\t') {
    std::size_t tab2 = rest.find('\t', 1);
    if (tab2 == std::string::npos) Syntax("DEPARTMENT");
    dept = DeptNumber(rest.substr(1, tab2 - 1));
    rest.erase(0, tab2 + 1);
  }
  TSaleMods mods = ParseMods(rest, true);
  RequireFiscal();
  RequireNoPayment();
  auto it = S_.Plus.find(static_cast<int>(*no));
  if (it == S_.Plus.end()) Denied("UNKNOWN PLU");
  if (dept != 0 && !S_.Departments.count(dept)) Denied("UNKNOWN DEPARTMENT");
  const TSimPlu& plu = it->second;
  TSimLine line;
  line.Group = plu.Group;
  line.Plu = static_cast<int>(*no);
  line.Dept = dept != 0 ? dept : (S_.Departments.count(plu.Dept) ? plu.Dept : 0);
  AddSaleLine(line, plu.Price, mods, plu.Name);
  return {};
}

// 91H: A,<amount> or P,<percent> on the sale registered last.
std::string TFiscalModel::DiscountLast(const std::string& d) {
  if (d.size() < 3 || (d[0] != 'A' && d[0] != 'P') || d[1] != ',') Syntax("DISCOUNT DATA");
  auto v = ParseScaled(d.substr(2), 2);
  if (!v) Syntax("DISCOUNT VALUE");
  bool perc = d[0] == 'P';
  if (perc && (*v < -kMaxPerc || *v > kMaxPerc)) Syntax("PERCENT RANGE");
  RequireFiscal();
  RequireNoPayment();
  auto& lines = S_.Receipt.Lines;
  if (lines.empty() || lines.back().Adjustment) Denied("NO SALE TO DISCOUNT");
  TSimLine& last = lines.back();
  if (last.Discounted) Denied("SALE ALREADY DISCOUNTED");
  std::int64_t disc = perc ? MulDivRound(last.Amount, *v, 10000) : *v;
  if (last.Amount >= 0 && last.Amount + disc < 0) Denied("DISCOUNT TOO LARGE");
  if (S_.Receipt.Total() + disc > kMaxAmount) Overflow("RECEIPT TOTAL");
  last.Amount += disc;
  last.Discounted = true;
  if (S_.Receipt.GroupSums()[static_cast<std::size_t>(last.Group - 1)] < 0) {
    Denied("NEGATIVE AMOUNT");
  }
  Print((disc < 0 ? "DISCOUNT " : "SURCHARGE ") + Money(disc));
  return {};
}

}  // namespace sim

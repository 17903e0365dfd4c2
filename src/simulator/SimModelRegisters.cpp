// Programmable registers: departments, PLUs, payment names, general settings,
// header and footer lines, operators, invoice ranges, cash in and out.
#include "SimModel.h"
#include "SimText.h"

namespace sim {

namespace {

int NumberIn(const std::string& text, int low, int high, const char* what) {
  auto v = AllDigits(text) && text.size() < 10 ? ParseInt(text) : std::nullopt;
  if (!v || *v < low || *v > high) Syntax(what);
  return static_cast<int>(*v);
}

}  // namespace

// 58H: department N -> P<letter>,count,receipt sum,day count,day sum,text1[TAB text2]
std::string TFiscalModel::Department(const std::string& d) {
  int no = NumberIn(d, 0, 1'000'000, "DEPARTMENT NUMBER");
  auto it = S_.Departments.find(no);
  if (it == S_.Departments.end()) return "F";
  std::int64_t count = 0, sum = 0;
  if (S_.FiscalOpen()) {
    for (const auto& l : S_.Receipt.Lines) {
      if (l.Dept == no && !l.Adjustment) {
        ++count;
        sum += l.Amount;
      }
    }
  }
  const TSimDepartment& dep = it->second;
  std::string out = std::string("P") + VatLetter(dep.Group) + "," + IntText(count) + "," +
                    Money(sum) + "," + IntText(dep.DayCount) + "," + Money(dep.DayTotal) + "," +
                    dep.Text1;
  if (!dep.Text2.empty()) out += "\t" + dep.Text2;
  return out;
}

// 57H: N,<letter>,text1[LF text2]
std::string TFiscalModel::SetDepartmentCmd(const std::string& d) {
  auto f = Split(d, ',');
  if (f.size() < 3 || f[1].size() != 1 || !VatGroupOf(f[1][0])) Syntax("DEPARTMENT DATA");
  int no = NumberIn(f[0], 1, kMaxDepartment, "DEPARTMENT NUMBER");
  std::string text = d.substr(f[0].size() + f[1].size() + 2);
  std::size_t lf = text.find('\n');
  if (S_.FiscalOpen()) Denied("FISCAL RECEIPT OPEN");
  TSimDepartment& dep = S_.Departments[no];
  int group = VatGroupOf(f[1][0]);
  if (dep.Group != group && dep.DayCount != 0) Denied("DEPARTMENT HAS TURNOVER");
  dep.Group = group;
  dep.Text1 = Left(text.substr(0, lf), kLineWidth);
  dep.Text2 = lf == std::string::npos ? std::string() : Left(text.substr(lf + 1), kLineWidth);
  return {};
}

// 6BH: P program, D delete, R read.
std::string TFiscalModel::Plu(const std::string& d) {
  if (d.empty()) Syntax("PLU OPTION");
  switch (d[0]) {
    case 'P':
      return ProgramPlu(d.substr(1));
    case 'D':
      return DeletePlu(d.substr(1));
    case 'R':
      return ReadPlu(d.substr(1));
    default:
      Syntax("PLU OPTION");
  }
}

// <letter><plu>,<group no>,<price>,A<quantity>,<name>
std::string TFiscalModel::ProgramPlu(const std::string& d) {
  if (d.empty() || !VatGroupOf(d[0])) Syntax("VAT GROUP");
  auto f = Split(d.substr(1), ',');
  if (f.size() < 5 || f[3].empty() || f[3][0] != 'A') Syntax("PLU DATA");
  int no = NumberIn(f[0], 1, kMaxPlu, "PLU NUMBER");
  int dept = NumberIn(f[1], 0, kMaxDepartment, "GROUP NUMBER");
  auto price = ParseScaled(f[2], 2);
  auto qty = ParseScaled(f[3].substr(1), 3);
  if (!price || *price < 0) Syntax("PRICE");
  if (!qty) Syntax("QUANTITY");
  std::size_t nameStart = f[0].size() + f[1].size() + f[2].size() + f[3].size() + 5;
  std::string name = Left(d.substr(nameStart), kLineWidth);
  if (Trim(name).empty()) Syntax("PLU NAME");
  if (S_.FiscalOpen()) Denied("FISCAL RECEIPT OPEN");
  TSimPlu& plu = S_.Plus[no];
  plu.Group = VatGroupOf(d[0]);
  plu.Dept = dept;
  plu.Price = *price;
  plu.Avail = *qty;
  plu.Name = name;
  return "P";
}

// A for all, or a number; "F" when there is no such PLU.
std::string TFiscalModel::DeletePlu(const std::string& d) {
  if (d != "A") NumberIn(d, 1, kMaxPlu, "PLU NUMBER");
  if (S_.FiscalOpen()) Denied("FISCAL RECEIPT OPEN");
  if (d == "A") {
    S_.Plus.clear();
    return "P";
  }
  return S_.Plus.erase(static_cast<int>(*ParseInt(d))) ? "P" : "F";
}

// P<plu>,<letter>,<group no>,<price>,<turnover>,<sold>,<available>,<name>
std::string TFiscalModel::ReadPlu(const std::string& d) {
  int no = NumberIn(d, 0, 1'000'000, "PLU NUMBER");
  auto it = S_.Plus.find(no);
  if (it == S_.Plus.end()) return "F";
  const TSimPlu& p = it->second;
  return "P" + IntText(no) + "," + VatLetter(p.Group) + "," + IntText(p.Dept) + "," +
         Money(p.Price) + "," + Money(p.Total) + "," + Qty(p.Sold) + "," + Qty(p.Avail) + "," +
         p.Name;
}

// 55H: <letter> reads the name, <letter>,<name> sets it.
std::string TFiscalModel::PayName(const std::string& d) {
  int idx = d.empty() ? -1 : PayIndexOf(d[0]);
  if (d.size() == 1) {
    if (idx < 0) Syntax("PAYMENT TYPE");
    return S_.PayNames[static_cast<std::size_t>(idx)];
  }
  if (d.size() < 2 || d[1] != ',') Syntax("PAYMENT NAME DATA");
  std::string name = Left(Trim(d.substr(2)), kMaxPayName);
  if (idx < 0 || name.empty()) return "F";
  S_.PayNames[static_cast<std::size_t>(idx)] = name;
  return "P";
}

std::string TFiscalModel::SettingsText() const {
  std::string mask;
  for (bool on : S_.TaxEnabled) mask.push_back(on ? '1' : '0');
  std::string out =
      IntText(S_.Multiplier) + "," + IntText(S_.Decimals) + "," + S_.Currency + "," + mask;
  for (auto rate : S_.TaxRates) out += "," + Money(rate);
  return out;
}

// 53H: empty reads; mult,dec,currency,mask,rate1..rate8 sets.
std::string TFiscalModel::GeneralSettings(const std::string& d) {
  if (d.empty()) return SettingsText();
  auto f = Split(d, ',');
  if (f.size() != 12) Syntax("SETTINGS FIELD COUNT");
  int mult = NumberIn(f[0], 0, kMaxMultiplier, "MULTIPLIER");
  int dec = NumberIn(f[1], 0, kMaxDecimals, "DECIMALS");
  if (f[2].size() > kMaxCurrency || f[3].empty() || f[3].size() > 8) Syntax("CURRENCY OR MASK");
  std::array<bool, kGroups> enabled{};
  for (std::size_t i = 0; i < f[3].size(); ++i) {
    if (f[3][i] != '0' && f[3][i] != '1') Syntax("TAX MASK");
    enabled[i] = f[3][i] == '1';
  }
  TGroupSums rates{};
  for (std::size_t g = 0; g < rates.size(); ++g) {
    auto r = ParseScaled(f[4 + g], 2);
    if (!r || *r < 0 || *r > kMaxPerc) Syntax("TAX RATE");
    rates[g] = *r;
  }
  RequireNoReceipt();
  S_.Multiplier = mult;
  S_.Decimals = dec;
  S_.Currency = f[2];
  S_.TaxEnabled = enabled;
  S_.TaxRates = rates;
  return SettingsText();
}

// 2BH: <line><text> sets a line, B<dots> the barcode height, I<line> and IB read.
std::string TFiscalModel::PrintOptions(const std::string& d) {
  if (d == "IB") return IntText(S_.BarcodeDots);
  if (d.size() >= 2 && d[0] == 'I') {
    int line = NumberIn(d.substr(1), 0, kHeaderLines - 1, "LINE NUMBER");
    return S_.Lines[static_cast<std::size_t>(line)];
  }
  if (!d.empty() && d[0] == 'B') {
    int dots = NumberIn(d.substr(1), 1, kMaxBarcodeDots, "BARCODE HEIGHT");
    S_.BarcodeDots = dots;
    return {};
  }
  if (d.empty() || d[0] < '0' || d[0] > '9') Syntax("PRINT OPTION");
  int line = d[0] - '0';
  if (line >= kHeaderLines) Syntax("LINE NUMBER");
  RequireNoReceipt();
  S_.Lines[static_cast<std::size_t>(line)] = Left(d.substr(1), kLineWidth);
  return {};
}

// 66H: number,password,name
std::string TFiscalModel::SetOperatorCmd(const std::string& d) {
  std::size_t c1 = d.find(',');
  std::size_t c2 = c1 == std::string::npos ? c1 : d.find(',', c1 + 1);
  if (c2 == std::string::npos) Syntax("OPERATOR DATA");
  int no = NumberIn(d.substr(0, c1), 1, kMaxOperator, "OPERATOR NUMBER");
  std::string password = d.substr(c1 + 1, c2 - c1 - 1);
  std::string name = Left(Trim(d.substr(c2 + 1)), kMaxOperatorName);
  if (password.size() > kMaxPassword || name.empty()) Syntax("OPERATOR DATA");
  if (S_.FiscalOpen()) Denied("FISCAL RECEIPT OPEN");
  S_.Operators[no] = {password, name};
  return {};
}

// 42H: [S] reads, [S,]start,end sets; answers start,end,current.
std::string TFiscalModel::InvoiceRange(const std::string& d) {
  bool credit = d == "S" || d.rfind("S,", 0) == 0;
  std::string rest = credit ? d.substr(d.size() > 1 ? 2 : 1) : d;
  TSimInvoiceRange& range = credit ? S_.CreditNotes : S_.Invoices;
  if (!rest.empty()) {
    auto f = Split(rest, ',');
    bool digits = f.size() == 2 && AllDigits(f[0]) && AllDigits(f[1]);
    std::int64_t start = digits ? ParseInt(f[0]).value_or(0) : 0;
    std::int64_t end = digits ? ParseInt(f[1]).value_or(0) : 0;
    if (start < 1 || start > end || end > kMaxInvoiceNo) Syntax("INVOICE RANGE");
    if (S_.FiscalOpen()) Denied("FISCAL RECEIPT OPEN");
    range = {start, end, start};
  }
  return IntText(range.Start) + "," + IntText(range.End) + "," + IntText(range.Current);
}

// 46H: amount in (positive) or out (negative); answers P|F,cash,in,out.
std::string TFiscalModel::CashInOut(const std::string& d) {
  auto amount = d.empty() ? std::optional<std::int64_t>(0) : ParseScaled(d, 2);
  if (!amount) Syntax("AMOUNT");
  auto answer = [this](const char* code) {
    return std::string(code) + "," + Money(S_.Cash) + "," + Money(S_.CashIn) + "," +
           Money(S_.CashOut);
  };
  bool refused = S_.FiscalOpen() || S_.CommentOpen() || -*amount > S_.Cash;
  if (refused) return answer("F");
  if (*amount == 0) return answer("P");
  if (S_.Cash + *amount > 99'999'999'999LL) Overflow("CASH SUM");
  AddTo(*amount > 0 ? S_.CashIn : S_.CashOut, *amount > 0 ? *amount : -*amount, "CASH SUM");
  S_.Cash += *amount;
  Count(S_.DocNumber);
  Print(*amount > 0 ? "RECEIVED ON ACCOUNT " + Money(*amount) : "PAID OUT " + Money(-*amount));
  return answer("P");
}

}  // namespace sim

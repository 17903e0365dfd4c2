#include "SimStateLists.h"

#include <initializer_list>
#include <vector>

#include "SimNumbers.h"

namespace sim {

namespace {

constexpr std::int64_t kR = kMaxRegister;
constexpr std::int64_t kMaxSaleDepartment = 255;  // a sale may name any department number
constexpr std::int64_t kMaxLineAmount = 2 * kMaxAmount;

std::string Bool(bool b) { return b ? "1" : "0"; }

struct TNum {
  const char* Name;
  std::int64_t Lo, Hi;
};

// The leading whole numbers of a list line of exactly `fields` fields.
std::string Nums(const std::string& key, const TFields& f, std::size_t fields,
                 std::initializer_list<TNum> decl, std::vector<std::int64_t>& out) {
  if (f.size() != fields) return BadValue(key);
  out.clear();
  for (const TNum& n : decl) {
    std::int64_t v = 0;
    std::string why = ReadNumber(f[out.size()], n.Lo, n.Hi, key, n.Name, v);
    if (!why.empty()) return why;
    out.push_back(v);
  }
  return {};
}

}  // namespace

void WriteLists(const TSimState& s, std::ostream& o) {
  const TSimReceipt& r = s.Receipt;
  o << "receipt=" << static_cast<int>(r.Kind) << "|" << Bool(r.Invoice) << "|" << Bool(r.Storno)
    << "|" << Bool(r.ClientData) << "\n";
  o << "last=" << Bool(s.Last.Invoice) << "|" << Bool(s.Last.Exists) << "|"
    << Bool(s.Last.Duplicated) << "\n";
  for (const auto& [no, op] : s.Operators) {
    o << "operator=" << no << "|" << EncodeField(op.Password) << "|" << EncodeField(op.Name)
      << "\n";
  }
  for (const auto& f : s.Fm) o << "fm=" << f.Closure << "|" << f.Time << "|" << f.Total << "\n";
  for (const auto& [no, d] : s.Departments) {
    o << "dept=" << no << "|" << d.Group << "|" << d.DayCount << "|" << d.DayTotal << "|"
      << EncodeField(d.Text1) << "|" << EncodeField(d.Text2) << "\n";
  }
  for (const auto& [no, p] : s.Plus) {
    o << "plu=" << no << "|" << p.Group << "|" << p.Dept << "|" << p.Price << "|" << p.Avail << "|"
      << p.Sold << "|" << p.Total << "|" << EncodeField(p.Name) << "\n";
  }
  for (const auto& l : r.Lines) {
    o << "line=" << l.Group << "|" << l.Dept << "|" << l.Plu << "|" << l.Qty << "|" << l.Amount
      << "|" << Bool(l.Adjustment) << "|" << Bool(l.Discounted) << "\n";
  }
}

std::string TListReader::Read(const std::string& key, const TFields& f) {
  if (key == "operator") return Operator(f);
  if (key == "fm") return FmRecord(f);
  if (key == "dept") return Department(f);
  if (key == "plu") return Plu(f);
  if (key == "line") return ReceiptLine(f);
  if (key == "receipt") return ReceiptFlags(f);
  if (key == "last") return LastFlags(f);
  return BadValue(key);
}

std::string TListReader::Operator(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why = Nums("operator", f, 3, {{"number", 1, kMaxOperator}}, n);
  if (!why.empty()) return why;
  TSimOperator& op = S_.Operators[static_cast<int>(n[0])];
  why = ReadText(f[1], kMaxPassword, "operator", "password", op.Password);
  return why.empty() ? ReadText(f[2], kMaxOperatorName, "operator", "name", op.Name) : why;
}

std::string TListReader::FmRecord(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why = Nums("fm", f, 3,
                         {{"closure", 1, kMaxCounter},
                          {"time", -kMaxDeviceTime, kMaxDeviceTime},
                          {"total", -kGroups * kR, kGroups * kR}},
                         n);
  if (!why.empty()) return why;
  if (S_.Fm.size() >= static_cast<std::size_t>(S_.FmCapacity)) {
    return "'fm' more records than fm_capacity";
  }
  S_.Fm.push_back({n[0], n[1], n[2]});
  return {};
}

std::string TListReader::Department(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why = Nums("dept", f, 6,
                         {{"number", 1, kMaxDepartment},
                          {"group", 1, kGroups},
                          {"day count", 0, kMaxCounter},
                          {"day total", -kR, kR}},
                         n);
  if (!why.empty()) return why;
  TSimDepartment& d = S_.Departments[static_cast<int>(n[0])];
  d.Group = static_cast<int>(n[1]);
  d.DayCount = n[2];
  d.DayTotal = n[3];
  why = ReadText(f[4], kLineWidth, "dept", "text", d.Text1);
  return why.empty() ? ReadText(f[5], kLineWidth, "dept", "text", d.Text2) : why;
}

std::string TListReader::Plu(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why = Nums("plu", f, 8,
                         {{"number", 1, kMaxPlu},
                          {"group", 1, kGroups},
                          {"department", 0, kMaxDepartment},
                          {"price", 0, kR},
                          {"available", -kR, kR},
                          {"sold", -kR, kR},
                          {"total", -kR, kR}},
                         n);
  if (!why.empty()) return why;
  TSimPlu& p = S_.Plus[static_cast<int>(n[0])];
  p = {static_cast<int>(n[1]), static_cast<int>(n[2]), n[3], n[4], n[5], n[6], {}};
  return ReadText(f[7], kLineWidth, "plu", "name", p.Name);
}

std::string TListReader::ReceiptLine(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why = Nums("line", f, 7,
                         {{"group", 1, kGroups},
                          {"department", 0, kMaxSaleDepartment},
                          {"plu", 0, kMaxPlu},
                          {"quantity", -kR, kR},
                          {"amount", -kMaxLineAmount, kMaxLineAmount},
                          {"adjustment", 0, 1},
                          {"discounted", 0, 1}},
                         n);
  if (!why.empty()) return why;
  if (S_.Receipt.Lines.size() >= kMaxReceiptLines) {
    return "'line' more than " + IntText(kMaxReceiptLines) + " receipt lines";
  }
  S_.Receipt.Lines.push_back({static_cast<int>(n[0]), static_cast<int>(n[1]),
                              static_cast<int>(n[2]), n[3], n[4], n[5] != 0, n[6] != 0});
  LastReceiptLine_ = Line_;
  return {};
}

std::string TListReader::ReceiptFlags(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why =
      Nums("receipt", f, 4,
           {{"kind", 0, 2}, {"invoice", 0, 1}, {"refund", 0, 1}, {"client data", 0, 1}}, n);
  if (!why.empty()) return why;
  S_.Receipt.Kind = static_cast<TSimReceipt::EKind>(n[0]);
  S_.Receipt.Invoice = n[1] != 0;
  S_.Receipt.Storno = n[2] != 0;
  S_.Receipt.ClientData = n[3] != 0;
  return {};
}

std::string TListReader::LastFlags(const TFields& f) {
  std::vector<std::int64_t> n;
  std::string why =
      Nums("last", f, 3, {{"invoice", 0, 1}, {"exists", 0, 1}, {"duplicated", 0, 1}}, n);
  if (!why.empty()) return why;
  S_.Last.Invoice = n[0] != 0;
  S_.Last.Exists = n[1] != 0;
  S_.Last.Duplicated = n[2] != 0;
  return {};
}

// Every group of the receipt and its total stay from 0 to kMaxAmount, as the
// model keeps them after each command.
std::string TListReader::Finish(int& line) const {
  line = LastReceiptLine_;
  for (std::int64_t sum : S_.Receipt.GroupSums()) {
    if (sum < 0 || sum > kMaxAmount) return OutOfRange("'line' group total", 0, kMaxAmount);
  }
  const std::int64_t total = S_.Receipt.Total();
  if (total > kMaxAmount) return OutOfRange("'line' receipt total", 0, kMaxAmount);
  return {};
}

}  // namespace sim

#include "SimStateFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "SimNumbers.h"

namespace sim {

namespace {

constexpr char kMagic[] = "fprsim-state 1";
using TFields = std::vector<std::string>;

std::string Enc(const std::string& s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : s) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || c == '%' || c == '|' || c == '=') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

bool Dec(const std::string& s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return false;
    unsigned v = 0;
    for (int k = 1; k <= 2; ++k) {
      char c = s[i + k];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return false;
      v = v * 16 + static_cast<unsigned>(d);
    }
    out += static_cast<char>(v);
    i += 2;
  }
  return true;
}

std::string Bool(bool b) { return b ? "1" : "0"; }

// One scalar entry of the file: how to write it and how to read it back.
struct TEntry {
  const char* Key;
  std::function<TFields()> Get;
  std::function<bool(const TFields&)> Set;
};

TEntry Text(const char* key, std::string& v) {
  return {key, [&v] { return TFields{v}; },
          [&v](const TFields& f) { return f.size() == 1 && Dec(f[0], v); }};
}

template <typename TInt>
TEntry Int(const char* key, TInt& v) {
  return {key, [&v] { return TFields{IntText(v)}; },
          [&v](const TFields& f) {
            auto n = f.size() == 1 ? ParseInt(f[0]) : std::nullopt;
            if (n) v = static_cast<TInt>(*n);
            return n.has_value();
          }};
}

template <typename TArray>
TEntry Ints(const char* key, TArray& a) {
  return {key,
          [&a] {
            TFields f;
            for (auto v : a) f.push_back(IntText(static_cast<std::int64_t>(v)));
            return f;
          },
          [&a](const TFields& f) {
            if (f.size() != a.size()) return false;
            for (std::size_t i = 0; i < a.size(); ++i) {
              auto n = ParseInt(f[i]);
              if (!n) return false;
              a[i] = static_cast<typename TArray::value_type>(*n);
            }
            return true;
          }};
}

// VAT rates as 53H accepts them: 0.00 to 99.99 %.
TEntry Rates(const char* key, TGroupSums& a) {
  TEntry e = Ints(key, a);
  e.Set = [&a, set = e.Set](const TFields& f) {
    return set(f) && std::all_of(a.begin(), a.end(), [](auto r) { return r >= 0 && r <= 9999; });
  };
  return e;
}

template <std::size_t N>
TEntry Texts(const char* key, std::array<std::string, N>& a) {
  return {key, [&a] { return TFields(a.begin(), a.end()); },
          [&a](const TFields& f) {
            if (f.size() != N) return false;
            for (std::size_t i = 0; i < N; ++i) {
              if (!Dec(f[i], a[i])) return false;
            }
            return true;
          }};
}

std::vector<TEntry> Scalars(TSimState& s) {
  return {Text("printer_name", s.PrinterName),
          Text("revision", s.Revision),
          Text("version_date", s.VersionDate),
          Text("version_time", s.VersionTime),
          Text("fw_checksum", s.FwChecksum),
          Text("switches", s.Switches),
          Text("serial_number", s.SerialNumber),
          Text("fiscal_number", s.FiscalNumber),
          Text("eik", s.Eik),
          Int("clock_offset", s.ClockOffset),
          Int("multiplier", s.Multiplier),
          Int("decimals", s.Decimals),
          Text("currency", s.Currency),
          Ints("tax_enabled", s.TaxEnabled),
          Rates("tax_rates", s.TaxRates),
          Texts("lines", s.Lines),
          Int("barcode_dots", s.BarcodeDots),
          Texts("pay_names", s.PayNames),
          Int("invoice_start", s.Invoices.Start),
          Int("invoice_end", s.Invoices.End),
          Int("invoice_current", s.Invoices.Current),
          Int("credit_start", s.CreditNotes.Start),
          Int("credit_end", s.CreditNotes.End),
          Int("credit_current", s.CreditNotes.Current),
          Int("doc_number", s.DocNumber),
          Int("all_receipts", s.AllReceipts),
          Int("fiscal_receipts", s.FiscalReceipts),
          Int("closure", s.Closure),
          Ints("day_sales", s.DaySales),
          Ints("day_refunds", s.DayRefunds),
          Ints("day_payments", s.DayPayments),
          Int("cash_in", s.CashIn),
          Int("cash_out", s.CashOut),
          Int("cash", s.Cash),
          Int("fm_capacity", s.FmCapacity),
          Text("receipt_operator", s.Receipt.Operator),
          Text("receipt_sale_no", s.Receipt.SaleNo),
          Int("receipt_doc_no", s.Receipt.DocNo),
          Ints("receipt_paid", s.Receipt.Paid),
          Ints("last_groups", s.Last.Groups)};
}

// Flags kept as one line each: receipt kind and switches, last receipt switches.
std::string FlagsLine(const TSimState& s) {
  const TSimReceipt& r = s.Receipt;
  return "receipt=" + IntText(static_cast<int>(r.Kind)) + "|" + Bool(r.Invoice) + "|" +
         Bool(r.Storno) + "|" + Bool(r.ClientData) + "\nlast=" + Bool(s.Last.Invoice) + "|" +
         Bool(s.Last.Exists) + "|" + Bool(s.Last.Duplicated) + "\n";
}

void WriteLists(const TSimState& s, std::ostringstream& o) {
  for (const auto& [no, op] : s.Operators) {
    o << "operator=" << no << "|" << Enc(op.Password) << "|" << Enc(op.Name) << "\n";
  }
  for (const auto& r : s.Fm) o << "fm=" << r.Closure << "|" << r.Time << "|" << r.Total << "\n";
  for (const auto& [no, d] : s.Departments) {
    o << "dept=" << no << "|" << d.Group << "|" << d.DayCount << "|" << d.DayTotal << "|"
      << Enc(d.Text1) << "|" << Enc(d.Text2) << "\n";
  }
  for (const auto& [no, p] : s.Plus) {
    o << "plu=" << no << "|" << p.Group << "|" << p.Dept << "|" << p.Price << "|" << p.Avail << "|"
      << p.Sold << "|" << p.Total << "|" << Enc(p.Name) << "\n";
  }
  for (const auto& l : s.Receipt.Lines) {
    o << "line=" << l.Group << "|" << l.Dept << "|" << l.Plu << "|" << l.Qty << "|" << l.Amount
      << "|" << Bool(l.Adjustment) << "|" << Bool(l.Discounted) << "\n";
  }
}

// Whole numbers of a list line; false when one does not read.
bool Nums(const TFields& f, std::size_t count, std::vector<std::int64_t>& out) {
  if (f.size() < count) return false;
  out.clear();
  for (std::size_t i = 0; i < count; ++i) {
    auto n = ParseInt(f[i]);
    if (!n) return false;
    out.push_back(*n);
  }
  return true;
}

bool ReadListLine(const std::string& key, const TFields& f, TSimState& s) {
  std::vector<std::int64_t> n;
  if (key == "operator" && f.size() == 3 && Nums(f, 1, n)) {
    TSimOperator& op = s.Operators[static_cast<int>(n[0])];
    return Dec(f[1], op.Password) && Dec(f[2], op.Name);
  }
  if (key == "fm" && f.size() == 3 && Nums(f, 3, n)) {
    s.Fm.push_back({n[0], n[1], n[2]});
    return true;
  }
  if (key == "dept" && f.size() == 6 && Nums(f, 4, n)) {
    TSimDepartment& d = s.Departments[static_cast<int>(n[0])];
    d.Group = static_cast<int>(n[1]);
    d.DayCount = n[2];
    d.DayTotal = n[3];
    return d.Group >= 1 && d.Group <= kGroups && Dec(f[4], d.Text1) && Dec(f[5], d.Text2);
  }
  if (key == "plu" && f.size() == 8 && Nums(f, 7, n)) {
    TSimPlu& p = s.Plus[static_cast<int>(n[0])];
    p = {static_cast<int>(n[1]), static_cast<int>(n[2]), n[3], n[4], n[5], n[6], {}};
    return p.Group >= 1 && p.Group <= kGroups && Dec(f[7], p.Name);
  }
  if (key == "line" && f.size() == 7 && Nums(f, 7, n)) {
    TSimLine l{static_cast<int>(n[0]),
               static_cast<int>(n[1]),
               static_cast<int>(n[2]),
               n[3],
               n[4],
               n[5] != 0,
               n[6] != 0};
    s.Receipt.Lines.push_back(l);
    return l.Group >= 1 && l.Group <= kGroups;
  }
  if (key == "receipt" && f.size() == 4 && Nums(f, 4, n) && n[0] >= 0 && n[0] <= 2) {
    s.Receipt.Kind = static_cast<TSimReceipt::EKind>(n[0]);
    s.Receipt.Invoice = n[1] != 0;
    s.Receipt.Storno = n[2] != 0;
    s.Receipt.ClientData = n[3] != 0;
    return true;
  }
  if (key == "last" && f.size() == 3 && Nums(f, 3, n)) {
    s.Last.Invoice = n[0] != 0;
    s.Last.Exists = n[1] != 0;
    s.Last.Duplicated = n[2] != 0;
    return true;
  }
  return false;
}

}  // namespace

std::string SerializeState(const TSimState& state) {
  TSimState& s = const_cast<TSimState&>(state);  // the getters only read
  std::ostringstream o;
  o << kMagic << "\n";
  for (const TEntry& e : Scalars(s)) {
    TFields f = e.Get();
    o << e.Key << "=";
    for (std::size_t i = 0; i < f.size(); ++i) o << (i ? "|" : "") << Enc(f[i]);
    o << "\n";
  }
  o << FlagsLine(s);
  WriteLists(s, o);
  return o.str();
}

bool ParseState(const std::string& text, TSimState& out, std::string* error) {
  TSimState s;
  s.Departments.clear();
  s.Operators.clear();
  std::vector<TEntry> scalars = Scalars(s);
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lineNo == 1) {
      if (line != kMagic) return fail("not a fprsim state file");
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    auto eq = line.find('=');
    if (eq == std::string::npos) return fail("no '='");
    std::string key = line.substr(0, eq);
    TFields f = Split(line.substr(eq + 1), '|');
    auto it =
        std::find_if(scalars.begin(), scalars.end(), [&](const TEntry& e) { return key == e.Key; });
    bool ok = it != scalars.end() ? it->Set(f) : ReadListLine(key, f, s);
    if (!ok) return fail("bad value for '" + key + "'");
  }
  if (lineNo == 0) return fail("empty file");
  out = std::move(s);
  return true;
}

bool SaveStateFile(const TSimState& s, const std::string& path, std::string* error) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    f << SerializeState(s);
    if (!f.flush()) {
      if (error) *error = "cannot write " + tmp;
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    if (error) *error = "cannot replace " + path;
    return false;
  }
  return true;
}

bool LoadStateFile(const std::string& path, TSimState& out, std::string* error) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << f.rdbuf();
  return ParseState(text.str(), out, error);
}

}  // namespace sim

#include "SimStateEntries.h"

#include "SimNumbers.h"

namespace sim {

namespace {

constexpr std::int64_t kR = kMaxRegister;

TEntry Text(const char* key, std::string& v, std::size_t maxBytes) {
  return {key, [&v] { return TFields{v}; },
          [&v, key, maxBytes](const TFields& f) {
            return f.size() == 1 ? ReadText(f[0], maxBytes, key, "", v) : BadValue(key);
          }};
}

template <typename TInt>
TEntry Int(const char* key, TInt& v, std::int64_t lo, std::int64_t hi) {
  return {key, [&v] { return TFields{IntText(static_cast<std::int64_t>(v))}; },
          [&v, key, lo, hi](const TFields& f) {
            if (f.size() != 1) return BadValue(key);
            std::int64_t n = 0;
            std::string why = ReadNumber(f[0], lo, hi, key, "", n);
            if (why.empty()) v = static_cast<TInt>(n);
            return why;
          }};
}

template <typename TArray>
TEntry Ints(const char* key, TArray& a, std::int64_t lo, std::int64_t hi) {
  return {key,
          [&a] {
            TFields f;
            for (auto v : a) f.push_back(IntText(static_cast<std::int64_t>(v)));
            return f;
          },
          [&a, key, lo, hi](const TFields& f) {
            if (f.size() != a.size()) return BadValue(key);
            for (std::size_t i = 0; i < a.size(); ++i) {
              std::int64_t n = 0;
              std::string why = ReadNumber(f[i], lo, hi, key, "", n);
              if (!why.empty()) return why;
              a[i] = static_cast<typename TArray::value_type>(n);
            }
            return std::string();
          }};
}

template <std::size_t N>
TEntry Texts(const char* key, std::array<std::string, N>& a, std::size_t maxBytes) {
  return {key, [&a] { return TFields(a.begin(), a.end()); },
          [&a, key, maxBytes](const TFields& f) {
            if (f.size() != N) return BadValue(key);
            for (std::size_t i = 0; i < N; ++i) {
              std::string why = ReadText(f[i], maxBytes, key, "", a[i]);
              if (!why.empty()) return why;
            }
            return std::string();
          }};
}

// Fiscal-memory records may come before this line; it may not leave them too many.
TEntry FmCapacity(TSimState& s) {
  TEntry e = Int("fm_capacity", s.FmCapacity, 0, kMaxFmCapacity);
  e.Set = [&s, set = e.Set](const TFields& f) {
    std::string why = set(f);
    if (why.empty() && static_cast<std::size_t>(s.FmCapacity) < s.Fm.size()) {
      why = "'fm_capacity' below the fm records before it";
    }
    return why;
  };
  return e;
}

std::vector<TEntry> Identity(TSimState& s) {
  return {Text("printer_name", s.PrinterName, kLineWidth),
          Text("revision", s.Revision, kMaxIdText),
          Text("version_date", s.VersionDate, kMaxIdText),
          Text("version_time", s.VersionTime, kMaxIdText),
          Text("fw_checksum", s.FwChecksum, kMaxIdText),
          Text("switches", s.Switches, kMaxIdText),
          Text("serial_number", s.SerialNumber, kMaxIdText),
          Text("fiscal_number", s.FiscalNumber, kMaxIdText),
          Text("eik", s.Eik, kMaxIdText)};
}

std::vector<TEntry> Settings(TSimState& s) {
  return {Int("clock_offset", s.ClockOffset, -kMaxClockOffset, kMaxClockOffset),
          Int("multiplier", s.Multiplier, 0, kMaxMultiplier),
          Int("decimals", s.Decimals, 0, kMaxDecimals),
          Text("currency", s.Currency, kMaxCurrency),
          Ints("tax_enabled", s.TaxEnabled, 0, 1),
          Ints("tax_rates", s.TaxRates, 0, kMaxPerc),
          Texts("lines", s.Lines, kLineWidth),
          Int("barcode_dots", s.BarcodeDots, 1, kMaxBarcodeDots),
          Texts("pay_names", s.PayNames, kMaxPayName),
          Int("invoice_start", s.Invoices.Start, 1, kMaxInvoiceNo),
          Int("invoice_end", s.Invoices.End, 1, kMaxInvoiceNo),
          Int("invoice_current", s.Invoices.Current, 1, kMaxInvoiceNo + 1),
          Int("credit_start", s.CreditNotes.Start, 1, kMaxInvoiceNo),
          Int("credit_end", s.CreditNotes.End, 1, kMaxInvoiceNo),
          Int("credit_current", s.CreditNotes.Current, 1, kMaxInvoiceNo + 1)};
}

std::vector<TEntry> Registers(TSimState& s) {
  return {Int("doc_number", s.DocNumber, 0, kMaxCounter),
          Int("all_receipts", s.AllReceipts, 0, kMaxCounter),
          Int("fiscal_receipts", s.FiscalReceipts, 0, kMaxCounter),
          Int("closure", s.Closure, 1, kMaxCounter),
          Ints("day_sales", s.DaySales, -kR, kR),
          Ints("day_refunds", s.DayRefunds, -kR, kR),
          Ints("day_payments", s.DayPayments, -kR, kR),
          Int("cash_in", s.CashIn, 0, kR),
          Int("cash_out", s.CashOut, 0, kR),
          Int("cash", s.Cash, -kR, kR),
          FmCapacity(s),
          Text("receipt_operator", s.Receipt.Operator, kMaxRequestText),
          Text("receipt_sale_no", s.Receipt.SaleNo, kMaxRequestText),
          Int("receipt_doc_no", s.Receipt.DocNo, 0, kMaxInvoiceNo),
          Ints("receipt_paid", s.Receipt.Paid, 0, kR),
          Ints("last_groups", s.Last.Groups, -kR, kR)};
}

}  // namespace

std::vector<TEntry> ScalarEntries(TSimState& s) {
  std::vector<TEntry> all = Identity(s);
  for (auto* part : {&Settings, &Registers}) {
    std::vector<TEntry> more = (*part)(s);
    all.insert(all.end(), more.begin(), more.end());
  }
  return all;
}

}  // namespace sim

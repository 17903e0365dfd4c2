// Feeds arbitrary answers to every command operation of TBaseDevice. A device
// without I/O answers each exchange with fuzzer-chosen response data and status
// bytes (any count from 0 to 8), or fails it as a transport would; the operation
// and its arguments (odd numbers, NaN, control characters, either decimal
// separator) come from the input too. Beyond memory and undefined-behaviour
// faults it fails when an exception escapes an operation, when an operation
// hands SendCommand request data that was not escaped, or when it keeps
// exchanging without end.
//
// Input: byte 0 picks the operation, byte 1 the separators, byte 2 is the length
// n of the argument bytes that follow; everything after them answers the
// exchanges in turn. One answer: a selector byte (0xFF: the exchange fails, the
// next byte picks the code; low nibble 0..8: that many raw status bytes follow;
// 9..15: six clean status bytes plus (bits 4..5) as many [k/n] bytes, each
// k = (b >> 3) % 6, n = b & 7), then the data length (two bytes, little endian,
// at most 400) and the data. An exhausted input fails every further exchange.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"
#include "FuzzInput.h"
#include "ConstUnit.h"
#include "FrameCodec.h"
#include "StatusDecoding.h"

namespace {

// The fuzz input with the value shapes the operations take.
class TReader : public TFuzzReader {
 public:
  using TFuzzReader::TFuzzReader;

  // Boundary values, small numbers around zero, or any 64-bit pattern.
  std::int64_t Int() {
    static constexpr std::int64_t kSpecial[] = {0,
                                                1,
                                                -1,
                                                2,
                                                255,
                                                256,
                                                65535,
                                                65536,
                                                3000,
                                                99999999,
                                                100000000,
                                                99999999999LL,
                                                2147483647,
                                                -2147483648LL,
                                                std::numeric_limits<std::int64_t>::max(),
                                                std::numeric_limits<std::int64_t>::min()};
    const std::uint8_t sel = Byte();
    if (sel < std::size(kSpecial)) return kSpecial[sel];
    if (sel < 0xF0) return static_cast<std::int64_t>(sel) - 0x40;
    return static_cast<std::int64_t>(Raw64());
  }

  // Boundary and rounding values, quarters around zero, or any bit pattern.
  double Real() {
    static const double kSpecial[] = {0.0,
                                      -0.0,
                                      1.0,
                                      -1.0,
                                      0.5,
                                      0.005,
                                      0.015,
                                      1.005,
                                      2.675,
                                      99.99,
                                      -99.99,
                                      100.0,
                                      12345.678,
                                      99999999.99,
                                      1e15,
                                      -1e15,
                                      9.2233720368547758e18,
                                      1e300,
                                      -1e300,
                                      std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::lowest(),
                                      std::numeric_limits<double>::min(),
                                      std::numeric_limits<double>::denorm_min(),
                                      std::numeric_limits<double>::quiet_NaN(),
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      45000.5,
                                      -693594.0,
                                      2958466.0};
    const std::uint8_t sel = Byte();
    if (sel < std::size(kSpecial)) return kSpecial[sel];
    if (sel < 0xF0) return (static_cast<int>(sel) - 0x80) * 0.25;
    double v = 0;
    const std::uint64_t bits = Raw64();
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }

  // A length byte and that many bytes (any of them: control bytes, 0x10, 0xA2...).
  std::string Text() { return Bytes(Byte()); }
};

// Escaped request data: no raw control byte but TAB and LF, and every 0x10
// followed by 0x40..0x5F.
bool IsEscapedRequest(const TDataBuffer& data) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint8_t b = data[i];
    if (b == Ctl::DLE) {
      if (i + 1 >= data.size() || data[i + 1] < 0x40 || data[i + 1] > 0x5F) return false;
      ++i;
    } else if (b < 0x20 && b != Ctl::TAB && b != Ctl::LF) {
      return false;
    }
  }
  return true;
}

// More exchanges than the longest recovery needs means an operation that loops.
constexpr int kMaxExchanges = 32;

class TFuzzDevice : public TBaseDevice {
 public:
  explicit TFuzzDevice(TReader& answers) : Answers_(answers) {}

  int Exchanges = 0;

  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override {
    Check(++Exchanges <= kMaxExchanges);
    Check(IsEscapedRequest(data));
    Sequence = NextSequence(Sequence);
    LastErrorCode = 0;
    LastErrorText.clear();
    const TDataBuffer frame = BuildRequestFrame(Sequence, code, data);
    SentHex = BytesToHex(frame, 0, frame.size());
    RaiseFrameSent(frame);
    const std::uint8_t sel = Answers_.Empty() ? 0xFF : Answers_.Byte();
    if (sel == 0xFF) return Fail(code);
    status.clear();
    if ((sel & 0x0F) <= 8) {
      const std::string raw = Answers_.Bytes(sel & 0x0F);
      status.assign(raw.begin(), raw.end());
    } else {
      status.assign(StatusByteCount, 0x80);
      for (int i = (sel >> 4) & 3; i > 0; --i) {
        const std::uint8_t b = Answers_.Byte();
        status[(b >> 3) % StatusByteCount] |= static_cast<std::uint8_t>(1u << (b & 7));
      }
    }
    const std::string reply = Answers_.Bytes(Answers_.U16() % 401);
    data.assign(reply.begin(), reply.end());
    ReceivedHex = BytesToHex(data, 0, data.size());
    return FinishExchange(code, 7, true);
  }
  bool Connect() override { return true; }
  void Disconnect() override {}
  bool IsConnected() override { return true; }

 private:
  bool Fail(std::uint8_t code) {
    static constexpr std::int32_t kCodes[] = {Err::PortNotActive,
                                              Err::WriteError,
                                              Err::NoResponse,
                                              Err::ReadByte,
                                              Err::ReadData,
                                              Err::Nak,
                                              Err::ReadPort,
                                              Err::WrongSeq,
                                              Err::WrongCmdTcp,
                                              Err::BadChecksum,
                                              Err::BadLength,
                                              Err::Busy,
                                              Err::WrongCmdSerial,
                                              0,
                                              -1};
    LastErrorCode = kCodes[Answers_.Byte() % std::size(kCodes)];
    LastErrorText = ErrorText(LastErrorCode, "<01>");
    return FinishExchange(code, 0, false);
  }

  TReader& Answers_;
};

TDiagnosticInfo g_info;  // keeps results observable
bool g_mayKeepError = false;

using TOperation = std::function<bool(TFuzzDevice&, TReader&)>;

TFiskParam FiskParam(TReader& a) {
  TFiskParam p;
  p.OperatorNo = static_cast<std::int32_t>(a.Int());
  p.OperatorName = a.Text();
  p.OperatorPassword = a.Text();
  p.UniqueSellNo = a.Text();
  p.IsInvoice = a.Bool();
  p.IsStorno = a.Bool();
  p.StornoFMIN = a.Text();
  p.StornoReceiptNo = static_cast<std::int32_t>(a.Int());
  p.StornoReason = a.Char();
  p.StornoDateTime = a.Real();
  p.StornoInvoiceNo = a.Int();
  p.DeviceFMIN = a.Bool() ? p.StornoFMIN : a.Text();
  return p;
}

TPluData PluData(TReader& a) {
  TPluData p;
  p.PluNo = static_cast<std::int32_t>(a.Int());
  p.PluName = a.Text();
  p.VatGroup = a.Char();
  p.GroupNom = static_cast<std::int32_t>(a.Int());
  p.UnitPrice = a.Real();
  p.Quantity = a.Real();
  return p;
}

TGeneralPRNSettings Settings(TReader& a) {
  TGeneralPRNSettings s;
  s.Multiplier = static_cast<std::int32_t>(a.Int());
  s.Decimals = static_cast<std::int32_t>(a.Int());
  s.CurrencyName = a.Text();
  const std::uint8_t mask = a.Byte();
  for (int i = 1; i <= 8; ++i) s.TaxEnabled[i] = (mask >> (i - 1)) & 1;
  for (int i = 1; i <= 8; ++i) s.TaxVals[i] = a.Real();
  return s;
}

TInvoiceClientData ClientData(TReader& a) {
  TInvoiceClientData d;
  d.ClientName = a.Text();
  d.TaxNo = a.Text();
  d.EIK = a.Text();
  d.AddressLine1 = a.Text();
  d.Address = a.Text();
  d.MOL = a.Text();
  d.Receiver = a.Text();
  return d;
}

const std::vector<TOperation>& Operations() {
  using D = TFuzzDevice;
  using R = TReader;
  static const std::vector<TOperation> ops = {
      [](D& d, R&) {
        TDateTime t = 0;
        return d.GetFPR_DateTime(t);
      },
      [](D& d, R&) {
        TDataBuffer s;
        const bool ok = d.GetPrinterStatus(s);
        Check(!ok || s.size() == StatusByteCount);
        return ok;
      },
      [](D& d, R& a) { return d.GetDiagnosticInfo(a.Bool(), g_info); },
      [](D& d, R& a) {
        std::string eik;
        const auto maxLen = static_cast<int>(a.Int());
        const bool ok = d.GetEIK(eik, maxLen);
        Check(!ok || (!eik.empty() && eik.size() <= static_cast<std::size_t>(maxLen)));
        return ok;
      },
      [](D& d, R&) {
        std::int32_t n = 0;
        return d.GetLastDocNumber(n);
      },
      [](D& d, R&) {
        bool open = false;
        std::int32_t items = 0;
        double amount = 0, tender = 0;
        return d.GetFiscalStatus(open, items, amount, tender);
      },
      [](D& d, R&) {
        TTaxValues v;
        return d.GetVATValues(v);
      },
      [](D& d, R&) {
        std::int32_t n = 0;
        return d.GetFreeFMRecords(n);
      },
      [](D& d, R&) {
        bool canVoid = false, invoice = false;
        TTaxValues v;
        std::int64_t next = 0;
        return d.GetLastReceiptInfo(canVoid, v, invoice, next);
      },
      [](D& d, R&) {
        bool canVoid = false, invoice = false;
        double total = 0;
        return d.GetReceiptTotals(canVoid, total, invoice);
      },
      [](D& d, R& a) {
        TTaxValues v;
        return d.GetTotalAmounts(a.Bool(), v);
      },
      [](D& d, R&) {
        TPayTypeTotals t;
        return d.GetPayTypeTotals(t);
      },
      [](D& d, R&) {
        TPayTypeTotals t;
        return d.GetPayTypeTotals8(t);
      },
      [](D& d, R& a) {
        TDepartmentSum s;
        return d.GetDepartmentSum(static_cast<std::int32_t>(a.Int()), s);
      },
      [](D& d, R& a) {
        TPluData p;
        return d.GetPluData(static_cast<std::int32_t>(a.Int()), p);
      },
      [](D& d, R& a) {
        std::string name;
        return d.GetPayTypeName(static_cast<std::int32_t>(a.Int()), name);
      },
      [](D& d, R&) {
        TGeneralPRNSettings s;
        return d.GetGeneralPRNSettings(s);
      },
      [](D& d, R& a) {
        std::string text;
        return d.GetHeaderLine(static_cast<std::int32_t>(a.Int()), text);
      },
      [](D& d, R&) {
        std::int32_t mm = 0;
        return d.GetBarcodeHeight(mm);
      },
      [](D& d, R&) {
        std::int32_t n = 0;
        return d.OpenCommentReceipt(n);
      },
      [](D& d, R& a) { return d.PrintCommentText(a.Text()); },
      [](D& d, R&) {
        std::int32_t n = 0;
        return d.CloseCommentReceipt(n);
      },
      [](D& d, R& a) {
        const auto type = static_cast<std::int32_t>(a.Int());
        const std::string data = a.Text();
        return d.PrintBarcode(type, data, a.Bool());
      },
      [](D& d, R& a) { return d.SendInvoiceClientData(ClientData(a)); },
      [](D& d, R&) { return d.DuplicateReceipt(); },
      [](D& d, R&) {
        // It may end true although its second status read failed.
        g_mayKeepError = true;
        return d.CancelAllReceipts();
      },
      [](D& d, R&) { return d.CloseOpenFiscalReceipt(); },
      [](D&, R& a) {
        TBaseDevice::IsUniqueSellNoValid(a.Text());
        return true;
      },
      [](D& d, R& a) {
        std::int32_t all = 0, fisc = 0;
        return d.OpenFiscalReceipt(FiskParam(a), all, fisc);
      },
      [](D& d, R&) {
        std::int32_t all = 0, fisc = 0;
        return d.CloseFiscalReceipt(all, fisc);
      },
      [](D& d, R&) { return d.VoidFiscalReceipt(); },
      [](D& d, R& a) {
        const std::string t1 = a.Text(), t2 = a.Text();
        const char vat = a.Char();
        const double price = a.Real(), qtty = a.Real(), perc = a.Real();
        return d.RegisterSale(t1, t2, vat, price, qtty, perc);
      },
      [](D& d, R& a) {
        const std::string t1 = a.Text(), t2 = a.Text();
        const std::uint8_t dep = a.Byte();
        const double price = a.Real(), qtty = a.Real(), perc = a.Real();
        return d.RegisterDepartmentSale(t1, t2, dep, price, qtty, perc);
      },
      [](D& d, R& a) {
        const std::string t1 = a.Text();
        const char vat = a.Char();
        const double price = a.Real(), qtty = a.Real(), perc = a.Real();
        return d.RegisterSaleAndDisplay(t1, vat, price, qtty, perc, a.Bool());
      },
      [](D& d, R& a) {
        const std::string t1 = a.Text();
        const std::uint8_t dep = a.Byte();
        const double price = a.Real(), qtty = a.Real(), perc = a.Real();
        return d.RegisterDepartmentSaleAndDisplay(t1, dep, price, qtty, perc, a.Bool());
      },
      [](D& d, R& a) {
        const bool display = a.Bool();
        const auto plu = static_cast<std::int32_t>(a.Int());
        const auto dep = static_cast<std::int32_t>(a.Int());
        const double qtty = a.Real(), perc = a.Real();
        return d.SellRegisteredPlu(display, plu, dep, qtty, perc, a.Bool());
      },
      [](D& d, R& a) {
        const bool absolute = a.Bool();
        return d.DiscountLastPlu(absolute, a.Real());
      },
      [](D& d, R& a) {
        const bool print = a.Bool(), absolute = a.Bool(), display = a.Bool();
        double sub = 0;
        TTaxValues v;
        return d.Subtotal(print, absolute, display, sub, v, a.Real());
      },
      [](D& d, R& a) {
        const std::string t1 = a.Text(), t2 = a.Text();
        const char mode = a.Char();
        const double amount = a.Real();
        char code = 0;
        double change = 0;
        return d.Payment(t1, t2, mode, amount, code, change);
      },
      [](D& d, R& a) { return d.PrintFiscalText(a.Text()); },
      [](D& d, R& a) {
        std::int64_t closure = 0;
        double total = 0;
        TTaxValues v;
        return d.PrintDailyReport(a.Bool(), closure, total, v);
      },
      [](D& d, R& a) {
        std::int64_t closure = 0;
        double total = 0;
        TTaxValues v;
        return d.PrintDailyReportByDepartments(a.Bool(), closure, total, v);
      },
      [](D& d, R& a) {
        std::int64_t closure = 0;
        double total = 0;
        TTaxValues v;
        return d.PrintDailyReportByDepartmentsAndPlu(a.Bool(), closure, total, v);
      },
      [](D& d, R& a) {
        const bool shortReport = a.Bool();
        const auto start = static_cast<std::uint32_t>(a.Int());
        return d.PrintFMReportByBlock(shortReport, start, static_cast<std::uint32_t>(a.Int()));
      },
      [](D& d, R& a) {
        const bool shortReport = a.Bool();
        const double start = a.Real();
        return d.PrintFMReportByDate(shortReport, start, a.Real());
      },
      [](D& d, R& a) { return d.SetDateTime(a.Real()); },
      [](D& d, R& a) {
        const auto line = static_cast<std::uint16_t>(a.Int());
        return d.SetHeaderLine(line, a.Text());
      },
      [](D& d, R& a) { return d.SetBarcodeHeight(static_cast<std::uint16_t>(a.Int())); },
      [](D& d, R& a) {
        const auto no = static_cast<std::uint16_t>(a.Int());
        const std::string password = a.Text();
        return d.SetOperator(no, password, a.Text());
      },
      [](D& d, R& a) {
        TDepartmentInfo info;
        info.DepNo = static_cast<std::int32_t>(a.Int());
        info.VatGroup = a.Char();
        info.DepText1 = a.Text();
        info.DepText2 = a.Text();
        return d.SetDepartment(info);
      },
      [](D& d, R& a) { return d.SetPlu(PluData(a)); },
      [](D& d, R& a) { return d.DeletePlu(static_cast<std::int32_t>(a.Int())); },
      [](D& d, R& a) {
        const auto type = static_cast<std::uint32_t>(a.Int());
        return d.SetPayName(type, a.Text());
      },
      [](D& d, R& a) {
        std::int64_t start = 0, end = 0, current = 0;
        return d.GetInvoiceRange(a.Bool(), start, end, current);
      },
      [](D& d, R& a) {
        const bool credit = a.Bool();
        std::int64_t start = a.Int(), end = a.Int();
        return d.SetInvoiceRange(credit, start, end);
      },
      [](D& d, R& a) { return d.SetGeneralPRNSettings(Settings(a)); },
      [](D& d, R& a) { return d.ImportExportAmount(a.Real()); },
      [](D& d, R& a) {
        const std::uint8_t code = a.Byte();
        return d.ExecuteCommand(code, a.Text());
      },
  };
  return ops;
}

TRegionalSettings Separators(std::uint8_t flags, std::uint8_t spare) {
  TRegionalSettings rs;
  rs.DecimalSeparator = (flags & 1) ? ',' : '.';
  rs.TimeSeparator = (flags & 2) ? '.' : ':';
  if ((flags & 0x0C) == 0x0C) rs.DecimalSeparator = static_cast<char>(spare);
  if ((flags & 0x30) == 0x30) rs.TimeSeparator = static_cast<char>(spare);
  return rs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const auto& ops = Operations();
  const std::size_t op = data[0] % ops.size();
  const std::size_t argCount = std::min<std::size_t>(data[2], size - 3);
  TReader args(data + 3, argCount);
  TReader answers(data + 3 + argCount, size - 3 - argCount);
  TFuzzDevice dev(answers);
  dev.Regional = Separators(data[1], argCount > 0 ? data[3] : 0);
  std::size_t events = 0;
  dev.OnFrameSent = [&](const std::string&) { ++events; };
  dev.OnDuration = [&](const std::string&) { ++events; };
  bool ok = false;
  g_mayKeepError = false;
  try {
    ok = ops[op](dev, args);
  } catch (...) {
    std::abort();  // no exception may leave a command operation
  }
  // Every exchange reports its frame and its duration.
  Check(events == 2 * static_cast<std::size_t>(dev.Exchanges));
  if (ok && !g_mayKeepError) Check(dev.LastErrorCode == 0);
  return 0;
}

// Every operation of the table run once through "fprcmd op" ends as the same
// call through the library does: result, code, text and out values. Each side
// runs against a fresh simulator brought into the same state first.
#include <gtest/gtest.h>

#include <functional>
#include <iomanip>
#include <set>
#include <sstream>

#include "Cp1251.h"
#include "FprCmdTestSupport.h"
#include "OperationTable.h"
#include "TCPDeviceUnit.h"

namespace {

using json = nlohmann::json;

constexpr char kA = '\xC0';  // VAT group 1
constexpr char kB = '\xC1';  // VAT group 2

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }
json Letter(char c) { return c == 0 ? std::string() : U(std::string(1, c)); }

template <typename A>
void Array(json& out, const std::string& name, const A& values) {
  for (int i = 1; i <= values.Count(); ++i) out[name + "[" + std::to_string(i) + "]"] = values[i];
}

std::string Iso(TDateTime t) {
  const TDateTimeParts p = DecodeDateTime(t);
  std::ostringstream s;
  s << std::setfill('0') << std::setw(4) << p.Year << '-' << std::setw(2) << p.Month << '-'
    << std::setw(2) << p.Day << 'T' << std::setw(2) << p.Hour << ':' << std::setw(2) << p.Minute
    << ':' << std::setw(2) << p.Second;
  return s.str();
}

std::string Hex(const TDataBuffer& b) {
  std::ostringstream s;
  for (std::uint8_t x : b)
    s << std::uppercase << std::hex << std::setw(2) << std::setfill('0') << int(x);
  return s.str();
}

// --- States the operations need, made through the library.

void OpenReceipt(TBaseDevice& d, bool invoice = false) {
  TFiskParam p;
  p.OperatorName = "OPER1";
  p.UniqueSellNo = "QZ999834-0001-0000001";
  p.IsInvoice = invoice;
  std::int32_t a = 0, f = 0;
  EXPECT_TRUE(d.OpenFiscalReceipt(p, a, f)) << d.LastErrorText;
}
void Sale(TBaseDevice& d) {
  OpenReceipt(d);
  EXPECT_TRUE(d.RegisterSale("", "Item", kA, 10, 1, 0)) << d.LastErrorText;
}
void Pay(TBaseDevice& d) {
  char code = 0;
  double rest = 0;
  EXPECT_TRUE(d.Payment("", "", 'P', 10, code, rest)) << d.LastErrorText;
}
void Paid(TBaseDevice& d) {
  Sale(d);
  Pay(d);
}
void ClosedReceipt(TBaseDevice& d) {
  Paid(d);
  std::int32_t a = 0, f = 0;
  EXPECT_TRUE(d.CloseFiscalReceipt(a, f)) << d.LastErrorText;
}
void CommentOpen(TBaseDevice& d) {
  std::int32_t a = 0;
  EXPECT_TRUE(d.OpenCommentReceipt(a)) << d.LastErrorText;
}
void Plu(TBaseDevice& d) {
  TPluData p;
  p.PluNo = 5;
  p.PluName = "Tea";
  p.VatGroup = kA;
  p.GroupNom = 1;
  p.UnitPrice = 2.5;
  p.Quantity = 100;
  EXPECT_TRUE(d.SetPlu(p)) << d.LastErrorText;
}
void InvoiceSale(TBaseDevice& d) {
  OpenReceipt(d, true);
  EXPECT_TRUE(d.RegisterSale("", "Item", kA, 10, 1, 0)) << d.LastErrorText;
  Pay(d);
}

using TPrepare = std::function<void(TBaseDevice&)>;
using TDirect = std::function<bool(TBaseDevice&, json&)>;

struct TParityCase {
  std::string Op;
  std::vector<std::string> Args;
  TPrepare Prepare;
  TDirect Direct;
};

std::vector<TParityCase> InfoCases() {
  return {
      {"GetFPR_DateTime",
       {},
       nullptr,
       [](TBaseDevice& d, json& o) {
         TDateTime t = 0;
         const bool ok = d.GetFPR_DateTime(t);
         o["DateTime"] = Iso(t);
         EXPECT_EQ(Iso(t), kSimNow);
         return ok;
       }},
      {"GetPrinterStatus",
       {},
       Sale,
       [](TBaseDevice& d, json& o) {
         TDataBuffer s;
         const bool ok = d.GetPrinterStatus(s);
         o["Status"] = Hex(s);
         return ok;
       }},
      {"GetDiagnosticInfo",
       {"Option=1"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         TDiagnosticInfo i;
         const bool ok = d.GetDiagnosticInfo(true, i);
         o = {{"Info.PrinterName", U(i.PrinterName)},
              {"Info.ProgramRevision", U(i.ProgramRevision)},
              {"Info.VersionDate", U(i.VersionDate)},
              {"Info.VersionTime", U(i.VersionTime)},
              {"Info.Checksum", U(i.Checksum)},
              {"Info.Switches", U(i.Switches)},
              {"Info.SerialNumber", U(i.SerialNumber)},
              {"Info.FiscalNumber", U(i.FiscalNumber)}};
         return ok;
       }},
      {"GetEIK",
       {"MaxLen=20"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::string eik;
         const bool ok = d.GetEIK(eik, 20);
         o["EIK"] = U(eik);
         return ok;
       }},
      {"GetLastDocNumber",
       {},
       ClosedReceipt,
       [](TBaseDevice& d, json& o) {
         std::int32_t n = 0;
         const bool ok = d.GetLastDocNumber(n);
         o["Number"] = n;
         return ok;
       }},
      {"GetFiscalStatus",
       {},
       Sale,
       [](TBaseDevice& d, json& o) {
         bool open = false;
         std::int32_t items = 0;
         double amount = 0, tender = 0;
         const bool ok = d.GetFiscalStatus(open, items, amount, tender);
         o = {{"Open", open}, {"ItemsCount", items}, {"Amount", amount}, {"Tender", tender}};
         return ok;
       }},
      {"GetVATValues",
       {},
       nullptr,
       [](TBaseDevice& d, json& o) {
         TTaxValues v;
         const bool ok = d.GetVATValues(v);
         Array(o, "Values", v);
         return ok;
       }},
      {"GetFreeFMRecords",
       {},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::int32_t n = 0;
         const bool ok = d.GetFreeFMRecords(n);
         o["Count"] = n;
         return ok;
       }},
      {"GetLastReceiptInfo",
       {},
       ClosedReceipt,
       [](TBaseDevice& d, json& o) {
         bool canVoid = false, invoice = false;
         TTaxValues amounts;
         std::int64_t next = 0;
         const bool ok = d.GetLastReceiptInfo(canVoid, amounts, invoice, next);
         o = {{"CanVoid", canVoid}, {"IsInvoice", invoice}, {"NextInvNo", next}};
         Array(o, "Amounts", amounts);
         return ok;
       }},
      {"GetReceiptTotals",
       {},
       ClosedReceipt,
       [](TBaseDevice& d, json& o) {
         bool canVoid = false, invoice = false;
         double total = 0;
         const bool ok = d.GetReceiptTotals(canVoid, total, invoice);
         o = {{"CanVoid", canVoid}, {"Total", total}, {"IsInvoice", invoice}};
         return ok;
       }},
      {"GetTotalAmounts",
       {"Turnover=1"},
       ClosedReceipt,
       [](TBaseDevice& d, json& o) {
         TTaxValues v;
         const bool ok = d.GetTotalAmounts(true, v);
         Array(o, "Amounts", v);
         return ok;
       }},
      {"GetPayTypeTotals",
       {},
       ClosedReceipt,
       [](TBaseDevice& d, json& o) {
         TPayTypeTotals t;
         const bool ok = d.GetPayTypeTotals(t);
         Array(o, "Totals.PayTotals", t.PayTotals);
         o["Totals.Closure"] = t.Closure;
         o["Totals.ReceiptNo"] = t.ReceiptNo;
         return ok;
       }},
      {"GetPayTypeTotals8",
       {},
       ClosedReceipt,
       [](TBaseDevice& d, json& o) {
         TPayTypeTotals t;
         const bool ok = d.GetPayTypeTotals8(t);
         Array(o, "Totals.PayTotals", t.PayTotals);
         o["Totals.Closure"] = t.Closure;
         o["Totals.ReceiptNo"] = t.ReceiptNo;
         return ok;
       }},
  };
}

std::vector<TParityCase> RegisterCases() {
  return {
      {"GetDepartmentSum",
       {"Number=1"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         TDepartmentSum s;
         const bool ok = d.GetDepartmentSum(1, s);
         o = {{"Sum.ExitCode", Letter(s.ExitCode)},
              {"Sum.TaxGroup", Letter(s.TaxGroup)},
              {"Sum.CountSales", s.CountSales},
              {"Sum.RecSum", s.RecSum},
              {"Sum.TotalSales", s.TotalSales},
              {"Sum.TotalSum", s.TotalSum},
              {"Sum.Text1", U(s.Text1)},
              {"Sum.Text2", U(s.Text2)}};
         return ok;
       }},
      {"GetPluData",
       {"Number=5"},
       Plu,
       [](TBaseDevice& d, json& o) {
         TPluData p;
         const bool ok = d.GetPluData(5, p);
         o = {{"Plu.PluNo", p.PluNo},
              {"Plu.PluName", U(p.PluName)},
              {"Plu.VatGroup", Letter(p.VatGroup)},
              {"Plu.GroupNom", p.GroupNom},
              {"Plu.UnitPrice", p.UnitPrice},
              {"Plu.TotalSum", p.TotalSum},
              {"Plu.Sold", p.Sold},
              {"Plu.AvailQtty", p.AvailQtty}};
         return ok;
       }},
      {"GetPayTypeName",
       {"PayType=2"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::string name;
         const bool ok = d.GetPayTypeName(2, name);
         o["Name"] = U(name);
         return ok;
       }},
      {"GetGeneralPRNSettings",
       {},
       nullptr,
       [](TBaseDevice& d, json& o) {
         TGeneralPRNSettings s;
         const bool ok = d.GetGeneralPRNSettings(s);
         o = {{"Settings.Multiplier", s.Multiplier},
              {"Settings.Decimals", s.Decimals},
              {"Settings.CurrencyName", U(s.CurrencyName)}};
         Array(o, "Settings.TaxEnabled", s.TaxEnabled);
         Array(o, "Settings.TaxVals", s.TaxVals);
         return ok;
       }},
      // A header line in Cyrillic comes back in UTF-8.
      {"GetHeaderLine",
       {"Line=1"},
       [](TBaseDevice& d) { EXPECT_TRUE(d.SetHeaderLine(1, "\xCC\xC0\xC3\xC0\xC7\xC8\xCD")); },
       [](TBaseDevice& d, json& o) {
         std::string text;
         const bool ok = d.GetHeaderLine(1, text);
         o["Text"] = U(text);
         EXPECT_EQ(U(text), "МАГАЗИН");
         return ok;
       }},
      {"GetBarcodeHeight",
       {},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::int32_t h = 0;
         const bool ok = d.GetBarcodeHeight(h);
         o["HeightMm"] = h;
         return ok;
       }},
  };
}

std::vector<TParityCase> DocumentCases() {
  return {
      {"OpenCommentReceipt",
       {},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::int32_t a = 0;
         const bool ok = d.OpenCommentReceipt(a);
         o["AllReceipt"] = a;
         return ok;
       }},
      {"PrintCommentText",
       {"Text=Comment row"},
       CommentOpen,
       [](TBaseDevice& d, json&) { return d.PrintCommentText("Comment row"); }},
      {"CloseCommentReceipt",
       {},
       CommentOpen,
       [](TBaseDevice& d, json& o) {
         std::int32_t a = 0;
         const bool ok = d.CloseCommentReceipt(a);
         o["AllReceipt"] = a;
         return ok;
       }},
      {"PrintBarcode",
       {"BarcodeType=2", "Data=1234567890128", "ShowText=1"},
       CommentOpen,
       [](TBaseDevice& d, json&) { return d.PrintBarcode(2, "1234567890128", true); }},
      {"SendInvoiceClientData",
       {"Data.ClientName=Client Ltd", "Data.TaxNo=BG123456789", "Data.EIK=123456789",
        "Data.Address=FIRM ADDRESS", "Data.Receiver=RECEIVER NAME"},
       InvoiceSale,
       [](TBaseDevice& d, json&) {
         TInvoiceClientData c;
         c.ClientName = "Client Ltd";
         c.TaxNo = "BG123456789";
         c.EIK = "123456789";
         c.Address = "FIRM ADDRESS";
         c.Receiver = "RECEIVER NAME";
         return d.SendInvoiceClientData(c);
       }},
      {"DuplicateReceipt",
       {},
       ClosedReceipt,
       [](TBaseDevice& d, json&) { return d.DuplicateReceipt(); }},
      {"CancelAllReceipts", {}, Sale, [](TBaseDevice& d, json&) { return d.CancelAllReceipts(); }},
      {"CloseOpenFiscalReceipt",
       {},
       Sale,
       [](TBaseDevice& d, json&) { return d.CloseOpenFiscalReceipt(); }},
  };
}

std::vector<TParityCase> ReceiptCases() {
  return {
      {"OpenFiscalReceipt",
       {"Param.OperatorName=OPER1", "Param.UniqueSellNo=QZ999834-0001-0000001",
        "Param.IsInvoice=true"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         TFiskParam p;
         p.OperatorName = "OPER1";
         p.UniqueSellNo = "QZ999834-0001-0000001";
         p.IsInvoice = true;
         std::int32_t a = 0, f = 0;
         const bool ok = d.OpenFiscalReceipt(p, a, f);
         o = {{"AllReceipt", a}, {"FiscReceipt", f}};
         return ok;
       }},
      {"CloseFiscalReceipt",
       {},
       Paid,
       [](TBaseDevice& d, json& o) {
         std::int32_t a = 0, f = 0;
         const bool ok = d.CloseFiscalReceipt(a, f);
         o = {{"AllReceipt", a}, {"FiscReceipt", f}};
         return ok;
       }},
      {"VoidFiscalReceipt", {}, Sale, [](TBaseDevice& d, json&) { return d.VoidFiscalReceipt(); }},
      {"RegisterSale",
       {"Text1=Tea", "Text2=Green, 100 g", "VatGrp=Б", "Price=2.50", "Qtty=3", "Perc=-5"},
       [](TBaseDevice& d) { OpenReceipt(d); },
       [](TBaseDevice& d, json&) { return d.RegisterSale("Tea", "Green, 100 g", kB, 2.5, 3, -5); }},
      {"RegisterDepartmentSale",
       {"Text1=Bread", "Text2=", "DepartNo=1", "Price=1.10", "Qtty=2", "Perc=0"},
       [](TBaseDevice& d) { OpenReceipt(d); },
       [](TBaseDevice& d, json&) { return d.RegisterDepartmentSale("Bread", "", 1, 1.1, 2, 0); }},
      {"RegisterSaleAndDisplay",
       {"Text1=Milk", "VatGrp=А", "Price=1.99", "Qtty=1", "Perc=0.5", "IsAbsolute=1"},
       [](TBaseDevice& d) { OpenReceipt(d); },
       [](TBaseDevice& d, json&) {
         return d.RegisterSaleAndDisplay("Milk", kA, 1.99, 1, 0.5, true);
       }},
      {"RegisterDepartmentSaleAndDisplay",
       {"Text1=Cake", "DepartNo=1", "Price=3", "Qtty=1.5", "Perc=10", "IsAbsolute=false"},
       [](TBaseDevice& d) { OpenReceipt(d); },
       [](TBaseDevice& d, json&) {
         return d.RegisterDepartmentSaleAndDisplay("Cake", 1, 3, 1.5, 10, false);
       }},
      {"SellRegisteredPlu",
       {"Display=0", "PluNo=5", "DepartNo=0", "Qtty=2", "Perc=0", "IsAbsolute=0"},
       [](TBaseDevice& d) {
         Plu(d);
         OpenReceipt(d);
       },
       [](TBaseDevice& d, json&) { return d.SellRegisteredPlu(false, 5, 0, 2, 0, false); }},
      {"DiscountLastPlu",
       {"IsAbsolute=0", "Value=-10"},
       Sale,
       [](TBaseDevice& d, json&) { return d.DiscountLastPlu(false, -10); }},
      {"Subtotal",
       {"Print=1", "IsAbsolute=0", "Display=1", "Perc=10"},
       Sale,
       [](TBaseDevice& d, json& o) {
         double sub = 0;
         TTaxValues vat;
         const bool ok = d.Subtotal(true, false, true, sub, vat, 10);
         o["SubTotal"] = sub;
         Array(o, "VatGRP", vat);
         return ok;
       }},
      {"Payment",
       {"Text1=Card", "Text2=", "PaidMode=N", "Amount=4"},
       Sale,
       [](TBaseDevice& d, json& o) {
         char code = 0;
         double rest = 0;
         const bool ok = d.Payment("Card", "", 'N', 4, code, rest);
         o = {{"PaidCode", Letter(code)}, {"Amount2", rest}};
         return ok;
       }},
      {"PrintFiscalText",
       {"Text=Thank you"},
       [](TBaseDevice& d) { OpenReceipt(d); },
       [](TBaseDevice& d, json&) { return d.PrintFiscalText("Thank you"); }},
  };
}

TDirect DailyReport(bool (TBaseDevice::*report)(bool, std::int64_t&, double&, TTaxValues&),
                    bool zero) {
  return [report, zero](TBaseDevice& d, json& o) {
    std::int64_t closure = 0;
    double total = 0;
    TTaxValues groups;
    const bool ok = (d.*report)(zero, closure, total, groups);
    o = {{"Closure", closure}, {"SumTOTAL", total}};
    Array(o, "SumVatGroups", groups);
    return ok;
  };
}

std::vector<TParityCase> ProgrammingCases() {
  TDateTime tenOClock = 0;
  TryEncodeDateTime({2024, 3, 5, 10, 0, 0, 0}, tenOClock);
  TDateTime march1 = 0, march5 = 0;
  TryEncodeDate(2024, 3, 1, march1);
  TryEncodeDate(2024, 3, 5, march5);
  return {
      {"PrintDailyReport",
       {"ZeroFlag=1"},
       ClosedReceipt,
       DailyReport(&TBaseDevice::PrintDailyReport, true)},
      {"PrintDailyReportByDepartments",
       {"ZeroFlag=0"},
       ClosedReceipt,
       DailyReport(&TBaseDevice::PrintDailyReportByDepartments, false)},
      {"PrintDailyReportByDepartmentsAndPlu",
       {"ZeroFlag=false"},
       ClosedReceipt,
       DailyReport(&TBaseDevice::PrintDailyReportByDepartmentsAndPlu, false)},
      {"PrintFMReportByBlock",
       {"Short=0", "StartNo=1", "EndNo=2"},
       nullptr,
       [](TBaseDevice& d, json&) { return d.PrintFMReportByBlock(false, 1, 2); }},
      {"PrintFMReportByDate",
       {"Short=1", "StartDate=2024-03-01", "EndDate=2024-03-05"},
       nullptr,
       [march1, march5](TBaseDevice& d, json&) {
         return d.PrintFMReportByDate(true, march1, march5);
       }},
      {"SetDateTime",
       {"DateTime=2024-03-05T10:00:00"},
       nullptr,
       [tenOClock](TBaseDevice& d, json&) { return d.SetDateTime(tenOClock); }},
      {"SetHeaderLine",
       {"LineNo=2", "Text=SHOP НАЗВАНИЕ"},
       nullptr,
       [](TBaseDevice& d, json&) {
         return d.SetHeaderLine(2, "SHOP \xCD\xC0\xC7\xC2\xC0\xCD\xC8\xC5");
       }},
      {"SetBarcodeHeight",
       {"HeightMm=15"},
       nullptr,
       [](TBaseDevice& d, json&) { return d.SetBarcodeHeight(15); }},
      {"SetOperator",
       {"OperNo=3", "Password=1234", "OperName=Ann Smith"},
       nullptr,
       [](TBaseDevice& d, json&) { return d.SetOperator(3, "1234", "Ann Smith"); }},
      {"SetDepartment",
       {"Info.DepNo=4", "Info.VatGroup=Б", "Info.DepText1=Bakery", "Info.DepText2=Fresh"},
       nullptr,
       [](TBaseDevice& d, json&) {
         TDepartmentInfo i;
         i.DepNo = 4;
         i.VatGroup = kB;
         i.DepText1 = "Bakery";
         i.DepText2 = "Fresh";
         return d.SetDepartment(i);
       }},
      {"SetPlu",
       {"Data.PluNo=7", "Data.PluName=Coffee", "Data.VatGroup=А", "Data.GroupNom=1",
        "Data.UnitPrice=3.20", "Data.Quantity=50"},
       nullptr,
       [](TBaseDevice& d, json&) {
         TPluData p;
         p.PluNo = 7;
         p.PluName = "Coffee";
         p.VatGroup = kA;
         p.GroupNom = 1;
         p.UnitPrice = 3.2;
         p.Quantity = 50;
         return d.SetPlu(p);
       }},
      {"DeletePlu", {"PluNo=5"}, Plu, [](TBaseDevice& d, json&) { return d.DeletePlu(5); }},
      {"SetPayName",
       {"PayType=3", "PayName=Voucher"},
       nullptr,
       [](TBaseDevice& d, json&) { return d.SetPayName(3, "Voucher"); }},
      {"GetInvoiceRange",
       {"CreditNote=0"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::int64_t s = 0, e = 0, c = 0;
         const bool ok = d.GetInvoiceRange(false, s, e, c);
         o = {{"InvStart", s}, {"InvEnd", e}, {"InvCurrent", c}};
         return ok;
       }},
      {"SetInvoiceRange",
       {"CreditNote=0", "InvStart=100", "InvEnd=900"},
       nullptr,
       [](TBaseDevice& d, json& o) {
         std::int64_t s = 100, e = 900;
         const bool ok = d.SetInvoiceRange(false, s, e);
         o = {{"InvStart", s}, {"InvEnd", e}};
         return ok;
       }},
      {"SetGeneralPRNSettings",
       {"Settings.Multiplier=1", "Settings.Decimals=2", "Settings.CurrencyName=EUR",
        "Settings.TaxEnabled[1]=1", "Settings.TaxEnabled[2]=1", "Settings.TaxEnabled[3]=1",
        "Settings.TaxEnabled[4]=0", "Settings.TaxEnabled[5]=0", "Settings.TaxEnabled[6]=0",
        "Settings.TaxEnabled[7]=0", "Settings.TaxEnabled[8]=0", "Settings.TaxVals[1]=20",
        "Settings.TaxVals[2]=20", "Settings.TaxVals[3]=9", "Settings.TaxVals[4]=0",
        "Settings.TaxVals[5]=0", "Settings.TaxVals[6]=0", "Settings.TaxVals[7]=0",
        "Settings.TaxVals[8]=0"},
       nullptr,
       [](TBaseDevice& d, json&) {
         TGeneralPRNSettings s;
         s.Multiplier = 1;
         s.Decimals = 2;
         s.CurrencyName = "EUR";
         for (int i = 1; i <= 3; ++i) s.TaxEnabled[i] = true;
         s.TaxVals[1] = 20;
         s.TaxVals[2] = 20;
         s.TaxVals[3] = 9;
         return d.SetGeneralPRNSettings(s);
       }},
      {"ImportExportAmount",
       {"Amount=50"},
       nullptr,
       [](TBaseDevice& d, json&) { return d.ImportExportAmount(50); }},
      {"ExecuteCommand",
       {"CmdCode=0x4A", "Params=W"},
       nullptr,
       [](TBaseDevice& d, json&) { return d.ExecuteCommand(0x4A, "W"); }},
  };
}

std::vector<TParityCase> AllCases() {
  std::vector<TParityCase> all;
  for (auto part :
       {InfoCases(), RegisterCases(), DocumentCases(), ReceiptCases(), ProgrammingCases()}) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// The simulator in the state the case needs; the link is left closed and the
// answer cache cleared, so that the next client's first request is executed.
void Prepare(TSimServer& sim, const TParityCase& c) {
  if (!c.Prepare) return;
  TTCPDevice dev;
  dev.Regional = TRegionalSettings{};
  dev.SetHost("127.0.0.1");
  dev.SetPort(std::to_string(sim.Port()));
  ASSERT_TRUE(dev.Connect()) << dev.LastErrorText;
  c.Prepare(dev);
  dev.Disconnect();
  sim.Device().ForgetLastRequest();
}

class OperationParity : public ::testing::TestWithParam<TParityCase> {};

TEST_P(OperationParity, EndsAsTheLibraryCallDoes) {
  const TParityCase& c = GetParam();
  const TOperation* op = FindOperation(c.Op);
  ASSERT_NE(op, nullptr);

  TSimServer viaCmd;
  StartQuietSim(viaCmd);
  Prepare(viaCmd, c);
  std::vector<std::string> args = {"--tcp", "127.0.0.1:" + std::to_string(viaCmd.Port()), "--json",
                                   "op", c.Op};
  args.insert(args.end(), c.Args.begin(), c.Args.end());
  const TCmdRun run = RunCmd(args);
  const auto lines = run.JsonLines();
  ASSERT_EQ(lines.size(), 1u) << run.Out << run.Err;
  const json& got = lines[0];

  TSimServer viaLibrary;
  StartQuietSim(viaLibrary);
  Prepare(viaLibrary, c);
  TTCPDevice dev;
  dev.Regional = TRegionalSettings{};
  dev.SetHost("127.0.0.1");
  dev.SetPort(std::to_string(viaLibrary.Port()));
  ASSERT_TRUE(dev.Connect());
  json expected = json::object();
  const bool ok = c.Direct(dev, expected);
  dev.Disconnect();

  EXPECT_TRUE(ok) << "the case is meant to succeed: " << U(dev.LastErrorText);
  EXPECT_EQ(got["result"], ok);
  EXPECT_EQ(got["code"], dev.LastErrorCode);
  EXPECT_EQ(got["text"], ok ? std::string() : U(dev.LastErrorText));
  EXPECT_EQ(run.Status, ok ? 0 : 1) << run.Err;
  if (ok) EXPECT_EQ(got["out"], expected);
  // The out values are exactly those the list declares.
  std::set<std::string> declared, printed;
  for (const TValueDecl& s : op->Outs) declared.insert(s.Name);
  for (const auto& [name, value] : got["out"].items()) printed.insert(name);
  if (ok) EXPECT_EQ(printed, declared);
  viaCmd.Stop();
  viaLibrary.Stop();
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, OperationParity, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<TParityCase>& info) {
                           return info.param.Op;
                         });

TEST(OperationParityCoverage, EveryListedOperationHasACase) {
  std::set<std::string> covered;
  for (const TParityCase& c : AllCases()) covered.insert(c.Op);
  for (const std::string& name : OperationNames()) EXPECT_EQ(covered.count(name), 1u) << name;
  EXPECT_EQ(covered.size(), OperationNames().size());
}

}  // namespace

// Table rows: device state, counters, register reads, comment receipt, barcode,
// invoice data, duplicate and the recovery.
#include "OperationRows.h"

namespace {

using K = TValueKind;

const TRecordFields<TDiagnosticInfo>& DiagnosticInfo() {
  static const auto fields = TRecordFields<TDiagnosticInfo>("Info")
                                 .Field(FPR_FIELD(TDiagnosticInfo, PrinterName), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, ProgramRevision), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, VersionDate), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, VersionTime), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, Checksum), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, Switches), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, SerialNumber), K::Text)
                                 .Field(FPR_FIELD(TDiagnosticInfo, FiscalNumber), K::Text);
  return fields;
}

const TRecordFields<TPayTypeTotals>& PayTypeTotals() {
  static const auto fields = TRecordFields<TPayTypeTotals>("Totals")
                                 .Array(FPR_FIELD(TPayTypeTotals, PayTotals), K::Double)
                                 .Field(FPR_FIELD(TPayTypeTotals, Closure), K::Int32)
                                 .Field(FPR_FIELD(TPayTypeTotals, ReceiptNo), K::Int32);
  return fields;
}

const TRecordFields<TDepartmentSum>& DepartmentSum() {
  static const auto fields = TRecordFields<TDepartmentSum>("Sum")
                                 .Field(FPR_FIELD(TDepartmentSum, ExitCode), K::Letter)
                                 .Field(FPR_FIELD(TDepartmentSum, TaxGroup), K::Letter)
                                 .Field(FPR_FIELD(TDepartmentSum, CountSales), K::Int64)
                                 .Field(FPR_FIELD(TDepartmentSum, RecSum), K::Double)
                                 .Field(FPR_FIELD(TDepartmentSum, TotalSales), K::Int64)
                                 .Field(FPR_FIELD(TDepartmentSum, TotalSum), K::Double)
                                 .Field(FPR_FIELD(TDepartmentSum, Text1), K::Text)
                                 .Field(FPR_FIELD(TDepartmentSum, Text2), K::Text);
  return fields;
}

// Quantity is not part of the answer, so it is no out value.
const TRecordFields<TPluData>& PluRead() {
  static const auto fields = TRecordFields<TPluData>("Plu")
                                 .Field(FPR_FIELD(TPluData, PluNo), K::Int32)
                                 .Field(FPR_FIELD(TPluData, PluName), K::Text)
                                 .Field(FPR_FIELD(TPluData, VatGroup), K::Letter)
                                 .Field(FPR_FIELD(TPluData, GroupNom), K::Int32)
                                 .Field(FPR_FIELD(TPluData, UnitPrice), K::Double)
                                 .Field(FPR_FIELD(TPluData, TotalSum), K::Double)
                                 .Field(FPR_FIELD(TPluData, Sold), K::Double)
                                 .Field(FPR_FIELD(TPluData, AvailQtty), K::Double);
  return fields;
}

// MOL never reaches the device, so it is no argument; the address lines are
// left out of the request when empty.
const TRecordFields<TInvoiceClientData>& InvoiceClientData() {
  static const auto fields = TRecordFields<TInvoiceClientData>("Data")
                                 .Field(FPR_FIELD(TInvoiceClientData, ClientName), K::Text)
                                 .Field(FPR_FIELD(TInvoiceClientData, TaxNo), K::Text)
                                 .Field(FPR_FIELD(TInvoiceClientData, EIK), K::Text)
                                 .Field(FPR_FIELD(TInvoiceClientData, AddressLine1), K::Text, true)
                                 .Field(FPR_FIELD(TInvoiceClientData, Address), K::Text, true)
                                 .Field(FPR_FIELD(TInvoiceClientData, Receiver), K::Text);
  return fields;
}

void AddStateQueries(std::vector<TOperation>& ops) {
  ops.push_back({"GetFPR_DateTime", "3EH", {}, TDecls().Add("DateTime", K::Date), [](TOpCall& c) {
                   TDateTime DateTime = 0;
                   const bool ok = c.Dev.GetFPR_DateTime(DateTime);
                   c.Out("DateTime", DateTime);
                   return ok;
                 }});
  ops.push_back({"GetPrinterStatus", "4AH", {}, TDecls().Add("Status", K::Bytes), [](TOpCall& c) {
                   TDataBuffer Status;
                   const bool ok = c.Dev.GetPrinterStatus(Status);
                   c.Out("Status", Status);
                   return ok;
                 }});
  ops.push_back({"GetDiagnosticInfo", "5AH", TDecls().Add("Option", K::Bool),
                 DiagnosticInfo().Decls(), [](TOpCall& c) {
                   TDiagnosticInfo Info;
                   const bool ok = c.Dev.GetDiagnosticInfo(c.Flag("Option"), Info);
                   DiagnosticInfo().Write(c, Info);
                   return ok;
                 }});
  ops.push_back({"GetEIK", "63H", TDecls().Add("MaxLen", K::Int32), TDecls().Add("EIK", K::Text),
                 [](TOpCall& c) {
                   std::string EIK;
                   const bool ok = c.Dev.GetEIK(EIK, c.Int("MaxLen"));
                   c.Out("EIK", EIK);
                   return ok;
                 }});
  ops.push_back({"GetLastDocNumber", "71H", {}, TDecls().Add("Number", K::Int32), [](TOpCall& c) {
                   std::int32_t Number = 0;
                   const bool ok = c.Dev.GetLastDocNumber(Number);
                   c.Out("Number", Number);
                   return ok;
                 }});
  ops.push_back({"GetFiscalStatus",
                 "4CH",
                 {},
                 TDecls()
                     .Add("Open", K::Bool)
                     .Add("ItemsCount", K::Int32)
                     .Add("Amount", K::Double)
                     .Add("Tender", K::Double),
                 [](TOpCall& c) {
                   bool Open = false;
                   std::int32_t ItemsCount = 0;
                   double Amount = 0, Tender = 0;
                   const bool ok = c.Dev.GetFiscalStatus(Open, ItemsCount, Amount, Tender);
                   c.Out("Open", Open);
                   c.Out("ItemsCount", ItemsCount);
                   c.Out("Amount", Amount);
                   c.Out("Tender", Tender);
                   return ok;
                 }});
}

void AddCounters(std::vector<TOperation>& ops) {
  ops.push_back({"GetVATValues", "61H", {}, TDecls().Array("Values", 8, K::Double), [](TOpCall& c) {
                   TTaxValues Values;
                   const bool ok = c.Dev.GetVATValues(Values);
                   c.OutArray("Values", Values);
                   return ok;
                 }});
  ops.push_back({"GetFreeFMRecords", "44H", {}, TDecls().Add("Count", K::Int32), [](TOpCall& c) {
                   std::int32_t Count = 0;
                   const bool ok = c.Dev.GetFreeFMRecords(Count);
                   c.Out("Count", Count);
                   return ok;
                 }});
  ops.push_back({"GetLastReceiptInfo",
                 "67H",
                 {},
                 TDecls()
                     .Add("CanVoid", K::Bool)
                     .Array("Amounts", 8, K::Double)
                     .Add("IsInvoice", K::Bool)
                     .Add("NextInvNo", K::Int64),
                 [](TOpCall& c) {
                   bool CanVoid = false, IsInvoice = false;
                   TTaxValues Amounts;
                   std::int64_t NextInvNo = 0;
                   const bool ok = c.Dev.GetLastReceiptInfo(CanVoid, Amounts, IsInvoice, NextInvNo);
                   c.Out("CanVoid", CanVoid);
                   c.OutArray("Amounts", Amounts);
                   c.Out("IsInvoice", IsInvoice);
                   c.Out("NextInvNo", NextInvNo);
                   return ok;
                 }});
  ops.push_back({"GetReceiptTotals",
                 "67H",
                 {},
                 TDecls().Add("CanVoid", K::Bool).Add("Total", K::Double).Add("IsInvoice", K::Bool),
                 [](TOpCall& c) {
                   bool CanVoid = false, IsInvoice = false;
                   double Total = 0;
                   const bool ok = c.Dev.GetReceiptTotals(CanVoid, Total, IsInvoice);
                   c.Out("CanVoid", CanVoid);
                   c.Out("Total", Total);
                   c.Out("IsInvoice", IsInvoice);
                   return ok;
                 }});
  ops.push_back({"GetTotalAmounts", "41H", TDecls().Add("Turnover", K::Bool),
                 TDecls().Array("Amounts", 8, K::Double), [](TOpCall& c) {
                   TTaxValues Amounts;
                   const bool ok = c.Dev.GetTotalAmounts(c.Flag("Turnover"), Amounts);
                   c.OutArray("Amounts", Amounts);
                   return ok;
                 }});
  ops.push_back({"GetPayTypeTotals", "6EH", {}, PayTypeTotals().Decls(), [](TOpCall& c) {
                   TPayTypeTotals Totals;
                   const bool ok = c.Dev.GetPayTypeTotals(Totals);
                   PayTypeTotals().Write(c, Totals);
                   return ok;
                 }});
  ops.push_back({"GetPayTypeTotals8", "6EH", {}, PayTypeTotals().Decls(), [](TOpCall& c) {
                   TPayTypeTotals Totals;
                   const bool ok = c.Dev.GetPayTypeTotals8(Totals);
                   PayTypeTotals().Write(c, Totals);
                   return ok;
                 }});
}

void AddRegisterReads(std::vector<TOperation>& ops) {
  ops.push_back({"GetDepartmentSum", "58H", TDecls().Add("Number", K::Int32),
                 DepartmentSum().Decls(), [](TOpCall& c) {
                   TDepartmentSum Sum;
                   const bool ok = c.Dev.GetDepartmentSum(c.Int("Number"), Sum);
                   DepartmentSum().Write(c, Sum);
                   return ok;
                 }});
  ops.push_back(
      {"GetPluData", "6BH R", TDecls().Add("Number", K::Int32), PluRead().Decls(), [](TOpCall& c) {
         TPluData Plu;
         const bool ok = c.Dev.GetPluData(c.Int("Number"), Plu);
         PluRead().Write(c, Plu);
         return ok;
       }});
  ops.push_back({"GetPayTypeName", "55H", TDecls().Add("PayType", K::Int32),
                 TDecls().Add("Name", K::Text), [](TOpCall& c) {
                   std::string Name;
                   const bool ok = c.Dev.GetPayTypeName(c.Int("PayType"), Name);
                   c.Out("Name", Name);
                   return ok;
                 }});
  ops.push_back({"GetGeneralPRNSettings", "53H", {}, GeneralPRNSettings().Decls(), [](TOpCall& c) {
                   TGeneralPRNSettings Settings;
                   const bool ok = c.Dev.GetGeneralPRNSettings(Settings);
                   GeneralPRNSettings().Write(c, Settings);
                   return ok;
                 }});
  ops.push_back({"GetHeaderLine", "2BH I", TDecls().Add("Line", K::Int32),
                 TDecls().Add("Text", K::Text), [](TOpCall& c) {
                   std::string Text;
                   const bool ok = c.Dev.GetHeaderLine(c.Int("Line"), Text);
                   c.Out("Text", Text);
                   return ok;
                 }});
  ops.push_back(
      {"GetBarcodeHeight", "2BH IB", {}, TDecls().Add("HeightMm", K::Int32), [](TOpCall& c) {
         std::int32_t HeightMm = 0;
         const bool ok = c.Dev.GetBarcodeHeight(HeightMm);
         c.Out("HeightMm", HeightMm);
         return ok;
       }});
}

void AddDocuments(std::vector<TOperation>& ops) {
  ops.push_back(
      {"OpenCommentReceipt", "26H", {}, TDecls().Add("AllReceipt", K::Int32), [](TOpCall& c) {
         std::int32_t AllReceipt = 0;
         const bool ok = c.Dev.OpenCommentReceipt(AllReceipt);
         c.Out("AllReceipt", AllReceipt);
         return ok;
       }});
  ops.push_back({"PrintCommentText", "2AH", TDecls().Add("Text", K::Text), {}, [](TOpCall& c) {
                   return c.Dev.PrintCommentText(c.Text("Text"));
                 }});
  ops.push_back(
      {"CloseCommentReceipt", "27H", {}, TDecls().Add("AllReceipt", K::Int32), [](TOpCall& c) {
         std::int32_t AllReceipt = 0;
         const bool ok = c.Dev.CloseCommentReceipt(AllReceipt);
         c.Out("AllReceipt", AllReceipt);
         return ok;
       }});
  ops.push_back(
      {"PrintBarcode",
       "54H",
       TDecls().Add("BarcodeType", K::Int32).Add("Data", K::Text).Add("ShowText", K::Bool),
       {},
       [](TOpCall& c) {
         return c.Dev.PrintBarcode(c.Int("BarcodeType"), c.Text("Data"), c.Flag("ShowText"));
       }});
  ops.push_back({"SendInvoiceClientData", "39H", InvoiceClientData().Decls(), {}, [](TOpCall& c) {
                   return c.Dev.SendInvoiceClientData(InvoiceClientData().Read(c));
                 }});
  ops.push_back(
      {"DuplicateReceipt", "6DH", {}, {}, [](TOpCall& c) { return c.Dev.DuplicateReceipt(); }});
  ops.push_back(
      {"CancelAllReceipts", "4AH, then 3CH, 38H or 27H as needed", {}, {}, [](TOpCall& c) {
         return c.Dev.CancelAllReceipts();
       }});
  ops.push_back({"CloseOpenFiscalReceipt",
                 "4CH, then 38H, 67H, 3CH, 35H or 39H as needed",
                 {},
                 {},
                 [](TOpCall& c) { return c.Dev.CloseOpenFiscalReceipt(); }});
}

}  // namespace

void AddInfoOperations(std::vector<TOperation>& ops) {
  AddStateQueries(ops);
  AddCounters(ops);
  AddRegisterReads(ops);
  AddDocuments(ops);
}

const TRecordFields<TGeneralPRNSettings>& GeneralPRNSettings() {
  static const auto fields = TRecordFields<TGeneralPRNSettings>("Settings")
                                 .Field(FPR_FIELD(TGeneralPRNSettings, Multiplier), K::Int32)
                                 .Field(FPR_FIELD(TGeneralPRNSettings, Decimals), K::Int32)
                                 .Field(FPR_FIELD(TGeneralPRNSettings, CurrencyName), K::Text)
                                 .Array(FPR_FIELD(TGeneralPRNSettings, TaxEnabled), K::Bool)
                                 .Array(FPR_FIELD(TGeneralPRNSettings, TaxVals), K::Double);
  return fields;
}

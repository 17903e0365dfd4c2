// Table rows: device state, counters, register reads, comment receipt, barcode,
// invoice data, duplicate and the recovery.
#include "OperationRows.h"

namespace {

using K = TValueKind;

void OutDiagnosticInfo(TOpCall& c, const TDiagnosticInfo& i) {
  c.Out("Info.PrinterName", i.PrinterName);
  c.Out("Info.ProgramRevision", i.ProgramRevision);
  c.Out("Info.VersionDate", i.VersionDate);
  c.Out("Info.VersionTime", i.VersionTime);
  c.Out("Info.Checksum", i.Checksum);
  c.Out("Info.Switches", i.Switches);
  c.Out("Info.SerialNumber", i.SerialNumber);
  c.Out("Info.FiscalNumber", i.FiscalNumber);
}

TSpecs DiagnosticInfoOuts() {
  return TSpecs()
      .Add("Info.PrinterName", K::Text)
      .Add("Info.ProgramRevision", K::Text)
      .Add("Info.VersionDate", K::Text)
      .Add("Info.VersionTime", K::Text)
      .Add("Info.Checksum", K::Text)
      .Add("Info.Switches", K::Text)
      .Add("Info.SerialNumber", K::Text)
      .Add("Info.FiscalNumber", K::Text);
}

TSpecs PayTypeTotalsOuts() {
  return TSpecs()
      .Array("Totals.PayTotals", 11, K::Double)
      .Add("Totals.Closure", K::Int32)
      .Add("Totals.ReceiptNo", K::Int32);
}

void OutPayTypeTotals(TOpCall& c, const TPayTypeTotals& t) {
  c.OutArray("Totals.PayTotals", t.PayTotals);
  c.Out("Totals.Closure", t.Closure);
  c.Out("Totals.ReceiptNo", t.ReceiptNo);
}

void AddStateQueries(std::vector<TOperation>& ops) {
  ops.push_back({"GetFPR_DateTime", "3EH", {}, TSpecs().Add("DateTime", K::Date), [](TOpCall& c) {
                   TDateTime DateTime = 0;
                   const bool ok = c.Dev.GetFPR_DateTime(DateTime);
                   c.Out("DateTime", DateTime);
                   return ok;
                 }});
  ops.push_back({"GetPrinterStatus", "4AH", {}, TSpecs().Add("Status", K::Bytes), [](TOpCall& c) {
                   TDataBuffer Status;
                   const bool ok = c.Dev.GetPrinterStatus(Status);
                   c.Out("Status", Status);
                   return ok;
                 }});
  ops.push_back({"GetDiagnosticInfo", "5AH", TSpecs().Add("Option", K::Bool), DiagnosticInfoOuts(),
                 [](TOpCall& c) {
                   TDiagnosticInfo Info;
                   const bool ok = c.Dev.GetDiagnosticInfo(c.Flag("Option"), Info);
                   OutDiagnosticInfo(c, Info);
                   return ok;
                 }});
  ops.push_back({"GetEIK", "63H", TSpecs().Add("MaxLen", K::Int32), TSpecs().Add("EIK", K::Text),
                 [](TOpCall& c) {
                   std::string EIK;
                   const bool ok = c.Dev.GetEIK(EIK, c.Int("MaxLen"));
                   c.Out("EIK", EIK);
                   return ok;
                 }});
  ops.push_back({"GetLastDocNumber", "71H", {}, TSpecs().Add("Number", K::Int32), [](TOpCall& c) {
                   std::int32_t Number = 0;
                   const bool ok = c.Dev.GetLastDocNumber(Number);
                   c.Out("Number", Number);
                   return ok;
                 }});
  ops.push_back({"GetFiscalStatus",
                 "4CH",
                 {},
                 TSpecs()
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
  ops.push_back({"GetVATValues", "61H", {}, TSpecs().Array("Values", 8, K::Double), [](TOpCall& c) {
                   TTaxValues Values;
                   const bool ok = c.Dev.GetVATValues(Values);
                   c.OutArray("Values", Values);
                   return ok;
                 }});
  ops.push_back({"GetFreeFMRecords", "44H", {}, TSpecs().Add("Count", K::Int32), [](TOpCall& c) {
                   std::int32_t Count = 0;
                   const bool ok = c.Dev.GetFreeFMRecords(Count);
                   c.Out("Count", Count);
                   return ok;
                 }});
  ops.push_back({"GetLastReceiptInfo",
                 "67H",
                 {},
                 TSpecs()
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
                 TSpecs().Add("CanVoid", K::Bool).Add("Total", K::Double).Add("IsInvoice", K::Bool),
                 [](TOpCall& c) {
                   bool CanVoid = false, IsInvoice = false;
                   double Total = 0;
                   const bool ok = c.Dev.GetReceiptTotals(CanVoid, Total, IsInvoice);
                   c.Out("CanVoid", CanVoid);
                   c.Out("Total", Total);
                   c.Out("IsInvoice", IsInvoice);
                   return ok;
                 }});
  ops.push_back({"GetTotalAmounts", "41H", TSpecs().Add("Turnover", K::Bool),
                 TSpecs().Array("Amounts", 8, K::Double), [](TOpCall& c) {
                   TTaxValues Amounts;
                   const bool ok = c.Dev.GetTotalAmounts(c.Flag("Turnover"), Amounts);
                   c.OutArray("Amounts", Amounts);
                   return ok;
                 }});
  ops.push_back({"GetPayTypeTotals", "6EH", {}, PayTypeTotalsOuts(), [](TOpCall& c) {
                   TPayTypeTotals Totals;
                   const bool ok = c.Dev.GetPayTypeTotals(Totals);
                   OutPayTypeTotals(c, Totals);
                   return ok;
                 }});
  ops.push_back({"GetPayTypeTotals8", "6EH", {}, PayTypeTotalsOuts(), [](TOpCall& c) {
                   TPayTypeTotals Totals;
                   const bool ok = c.Dev.GetPayTypeTotals8(Totals);
                   OutPayTypeTotals(c, Totals);
                   return ok;
                 }});
}

void AddRegisterReads(std::vector<TOperation>& ops) {
  ops.push_back({"GetDepartmentSum", "58H", TSpecs().Add("Number", K::Int32),
                 TSpecs()
                     .Add("Sum.ExitCode", K::Letter)
                     .Add("Sum.TaxGroup", K::Letter)
                     .Add("Sum.CountSales", K::Int64)
                     .Add("Sum.RecSum", K::Double)
                     .Add("Sum.TotalSales", K::Int64)
                     .Add("Sum.TotalSum", K::Double)
                     .Add("Sum.Text1", K::Text)
                     .Add("Sum.Text2", K::Text),
                 [](TOpCall& c) {
                   TDepartmentSum Sum;
                   const bool ok = c.Dev.GetDepartmentSum(c.Int("Number"), Sum);
                   c.Out("Sum.ExitCode", Sum.ExitCode);
                   c.Out("Sum.TaxGroup", Sum.TaxGroup);
                   c.Out("Sum.CountSales", Sum.CountSales);
                   c.Out("Sum.RecSum", Sum.RecSum);
                   c.Out("Sum.TotalSales", Sum.TotalSales);
                   c.Out("Sum.TotalSum", Sum.TotalSum);
                   c.Out("Sum.Text1", Sum.Text1);
                   c.Out("Sum.Text2", Sum.Text2);
                   return ok;
                 }});
  // Quantity is not part of the answer, so it is no out value.
  ops.push_back({"GetPluData", "6BH R", TSpecs().Add("Number", K::Int32),
                 TSpecs()
                     .Add("Plu.PluNo", K::Int32)
                     .Add("Plu.PluName", K::Text)
                     .Add("Plu.VatGroup", K::Letter)
                     .Add("Plu.GroupNom", K::Int32)
                     .Add("Plu.UnitPrice", K::Double)
                     .Add("Plu.TotalSum", K::Double)
                     .Add("Plu.Sold", K::Double)
                     .Add("Plu.AvailQtty", K::Double),
                 [](TOpCall& c) {
                   TPluData Plu;
                   const bool ok = c.Dev.GetPluData(c.Int("Number"), Plu);
                   c.Out("Plu.PluNo", Plu.PluNo);
                   c.Out("Plu.PluName", Plu.PluName);
                   c.Out("Plu.VatGroup", Plu.VatGroup);
                   c.Out("Plu.GroupNom", Plu.GroupNom);
                   c.Out("Plu.UnitPrice", Plu.UnitPrice);
                   c.Out("Plu.TotalSum", Plu.TotalSum);
                   c.Out("Plu.Sold", Plu.Sold);
                   c.Out("Plu.AvailQtty", Plu.AvailQtty);
                   return ok;
                 }});
  ops.push_back({"GetPayTypeName", "55H", TSpecs().Add("PayType", K::Int32),
                 TSpecs().Add("Name", K::Text), [](TOpCall& c) {
                   std::string Name;
                   const bool ok = c.Dev.GetPayTypeName(c.Int("PayType"), Name);
                   c.Out("Name", Name);
                   return ok;
                 }});
  ops.push_back({"GetGeneralPRNSettings",
                 "53H",
                 {},
                 TSpecs()
                     .Add("Settings.Multiplier", K::Int32)
                     .Add("Settings.Decimals", K::Int32)
                     .Add("Settings.CurrencyName", K::Text)
                     .Array("Settings.TaxEnabled", 8, K::Bool)
                     .Array("Settings.TaxVals", 8, K::Double),
                 [](TOpCall& c) {
                   TGeneralPRNSettings Settings;
                   const bool ok = c.Dev.GetGeneralPRNSettings(Settings);
                   c.Out("Settings.Multiplier", Settings.Multiplier);
                   c.Out("Settings.Decimals", Settings.Decimals);
                   c.Out("Settings.CurrencyName", Settings.CurrencyName);
                   c.OutArray("Settings.TaxEnabled", Settings.TaxEnabled);
                   c.OutArray("Settings.TaxVals", Settings.TaxVals);
                   return ok;
                 }});
  ops.push_back({"GetHeaderLine", "2BH I", TSpecs().Add("Line", K::Int32),
                 TSpecs().Add("Text", K::Text), [](TOpCall& c) {
                   std::string Text;
                   const bool ok = c.Dev.GetHeaderLine(c.Int("Line"), Text);
                   c.Out("Text", Text);
                   return ok;
                 }});
  ops.push_back(
      {"GetBarcodeHeight", "2BH IB", {}, TSpecs().Add("HeightMm", K::Int32), [](TOpCall& c) {
         std::int32_t HeightMm = 0;
         const bool ok = c.Dev.GetBarcodeHeight(HeightMm);
         c.Out("HeightMm", HeightMm);
         return ok;
       }});
}

void AddDocuments(std::vector<TOperation>& ops) {
  ops.push_back(
      {"OpenCommentReceipt", "26H", {}, TSpecs().Add("AllReceipt", K::Int32), [](TOpCall& c) {
         std::int32_t AllReceipt = 0;
         const bool ok = c.Dev.OpenCommentReceipt(AllReceipt);
         c.Out("AllReceipt", AllReceipt);
         return ok;
       }});
  ops.push_back({"PrintCommentText", "2AH", TSpecs().Add("Text", K::Text), {}, [](TOpCall& c) {
                   return c.Dev.PrintCommentText(c.Text("Text"));
                 }});
  ops.push_back(
      {"CloseCommentReceipt", "27H", {}, TSpecs().Add("AllReceipt", K::Int32), [](TOpCall& c) {
         std::int32_t AllReceipt = 0;
         const bool ok = c.Dev.CloseCommentReceipt(AllReceipt);
         c.Out("AllReceipt", AllReceipt);
         return ok;
       }});
  ops.push_back(
      {"PrintBarcode",
       "54H",
       TSpecs().Add("BarcodeType", K::Int32).Add("Data", K::Text).Add("ShowText", K::Bool),
       {},
       [](TOpCall& c) {
         return c.Dev.PrintBarcode(c.Int("BarcodeType"), c.Text("Data"), c.Flag("ShowText"));
       }});
  // MOL never reaches the device, so it is no argument; the address lines are
  // left out of the request when empty.
  ops.push_back({"SendInvoiceClientData",
                 "39H",
                 TSpecs()
                     .Add("Data.ClientName", K::Text)
                     .Add("Data.TaxNo", K::Text)
                     .Add("Data.EIK", K::Text)
                     .Opt("Data.AddressLine1", K::Text)
                     .Opt("Data.Address", K::Text)
                     .Add("Data.Receiver", K::Text),
                 {},
                 [](TOpCall& c) {
                   TInvoiceClientData Data;
                   c.Take("Data.ClientName", Data.ClientName);
                   c.Take("Data.TaxNo", Data.TaxNo);
                   c.Take("Data.EIK", Data.EIK);
                   c.Take("Data.AddressLine1", Data.AddressLine1);
                   c.Take("Data.Address", Data.Address);
                   c.Take("Data.Receiver", Data.Receiver);
                   return c.Dev.SendInvoiceClientData(Data);
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

// Table rows: fiscal receipt, sales, discount, subtotal, payment and fiscal text.
#include "OperationRows.h"

namespace {

using K = TValueKind;

// The request of 90H carries only the name and the sale number, the invoice
// flag, and the refund data when refunding: the operator's number and password
// are not read, so they are no arguments. The refund fields may be left out:
// the operation itself refuses a refund that lacks a reason or a receipt number.
const TRecordFields<TFiskParam>& FiskParam() {
  static const auto fields = TRecordFields<TFiskParam>("Param")
                                 .Field(FPR_FIELD(TFiskParam, OperatorName), K::Text)
                                 .Field(FPR_FIELD(TFiskParam, UniqueSellNo), K::Text)
                                 .Field(FPR_FIELD(TFiskParam, IsInvoice), K::Bool, true)
                                 .Field(FPR_FIELD(TFiskParam, IsStorno), K::Bool, true)
                                 .Field(FPR_FIELD(TFiskParam, StornoFMIN), K::Text, true)
                                 .Field(FPR_FIELD(TFiskParam, StornoReceiptNo), K::Int32, true)
                                 .Field(FPR_FIELD(TFiskParam, StornoReason), K::Letter, true)
                                 .Field(FPR_FIELD(TFiskParam, StornoDateTime), K::Date, true)
                                 .Field(FPR_FIELD(TFiskParam, StornoInvoiceNo), K::Int64, true)
                                 .Field(FPR_FIELD(TFiskParam, DeviceFMIN), K::Text, true);
  return fields;
}

bool CallOpenFiscalReceipt(TOpCall& c) {
  std::int32_t AllReceipt = 0, FiscReceipt = 0;
  const bool ok = c.Dev.OpenFiscalReceipt(FiskParam().Read(c), AllReceipt, FiscReceipt);
  c.Out("AllReceipt", AllReceipt);
  c.Out("FiscReceipt", FiscReceipt);
  return ok;
}

TDecls ReceiptCounters() {
  return TDecls().Add("AllReceipt", K::Int32).Add("FiscReceipt", K::Int32);
}

void AddOpenClose(std::vector<TOperation>& ops) {
  ops.push_back(
      {"OpenFiscalReceipt", "90H", FiskParam().Decls(), ReceiptCounters(), CallOpenFiscalReceipt});
  ops.push_back({"CloseFiscalReceipt", "38H", {}, ReceiptCounters(), [](TOpCall& c) {
                   std::int32_t AllReceipt = 0, FiscReceipt = 0;
                   const bool ok = c.Dev.CloseFiscalReceipt(AllReceipt, FiscReceipt);
                   c.Out("AllReceipt", AllReceipt);
                   c.Out("FiscReceipt", FiscReceipt);
                   return ok;
                 }});
  ops.push_back(
      {"VoidFiscalReceipt", "3CH", {}, {}, [](TOpCall& c) { return c.Dev.VoidFiscalReceipt(); }});
}

void AddSales(std::vector<TOperation>& ops) {
  ops.push_back({"RegisterSale",
                 "31H",
                 TDecls()
                     .Add("Text1", K::Text)
                     .Add("Text2", K::Text)
                     .Add("VatGrp", K::Letter)
                     .Add("Price", K::Double)
                     .Add("Qtty", K::Double)
                     .Add("Perc", K::Double),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.RegisterSale(c.Text("Text1"), c.Text("Text2"), c.Letter("VatGrp"),
                                             c.Real("Price"), c.Real("Qtty"), c.Real("Perc"));
                 }});
  ops.push_back({"RegisterDepartmentSale",
                 "31H",
                 TDecls()
                     .Add("Text1", K::Text)
                     .Add("Text2", K::Text)
                     .Add("DepartNo", K::UInt8)
                     .Add("Price", K::Double)
                     .Add("Qtty", K::Double)
                     .Add("Perc", K::Double),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.RegisterDepartmentSale(c.Text("Text1"), c.Text("Text2"),
                                                       c.UInt8("DepartNo"), c.Real("Price"),
                                                       c.Real("Qtty"), c.Real("Perc"));
                 }});
  ops.push_back({"RegisterSaleAndDisplay",
                 "34H",
                 TDecls()
                     .Add("Text1", K::Text)
                     .Add("VatGrp", K::Letter)
                     .Add("Price", K::Double)
                     .Add("Qtty", K::Double)
                     .Add("Perc", K::Double)
                     .Add("IsAbsolute", K::Bool),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.RegisterSaleAndDisplay(c.Text("Text1"), c.Letter("VatGrp"),
                                                       c.Real("Price"), c.Real("Qtty"),
                                                       c.Real("Perc"), c.Flag("IsAbsolute"));
                 }});
  ops.push_back({"RegisterDepartmentSaleAndDisplay",
                 "34H",
                 TDecls()
                     .Add("Text1", K::Text)
                     .Add("DepartNo", K::UInt8)
                     .Add("Price", K::Double)
                     .Add("Qtty", K::Double)
                     .Add("Perc", K::Double)
                     .Add("IsAbsolute", K::Bool),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.RegisterDepartmentSaleAndDisplay(
                       c.Text("Text1"), c.UInt8("DepartNo"), c.Real("Price"), c.Real("Qtty"),
                       c.Real("Perc"), c.Flag("IsAbsolute"));
                 }});
  ops.push_back({"SellRegisteredPlu",
                 "3AH",
                 TDecls()
                     .Add("Display", K::Bool)
                     .Add("PluNo", K::Int32)
                     .Add("DepartNo", K::Int32)
                     .Add("Qtty", K::Double)
                     .Add("Perc", K::Double)
                     .Add("IsAbsolute", K::Bool),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.SellRegisteredPlu(c.Flag("Display"), c.Int("PluNo"),
                                                  c.Int("DepartNo"), c.Real("Qtty"), c.Real("Perc"),
                                                  c.Flag("IsAbsolute"));
                 }});
}

void AddTotals(std::vector<TOperation>& ops) {
  ops.push_back(
      {"DiscountLastPlu",
       "91H",
       TDecls().Add("IsAbsolute", K::Bool).Add("Value", K::Double),
       {},
       [](TOpCall& c) { return c.Dev.DiscountLastPlu(c.Flag("IsAbsolute"), c.Real("Value")); }});
  ops.push_back({"Subtotal", "33H",
                 TDecls()
                     .Add("Print", K::Bool)
                     .Add("IsAbsolute", K::Bool)
                     .Add("Display", K::Bool)
                     .Add("Perc", K::Double),
                 TDecls().Add("SubTotal", K::Double).Array("VatGRP", 8, K::Double), [](TOpCall& c) {
                   double SubTotal = 0;
                   TTaxValues VatGRP;
                   const bool ok =
                       c.Dev.Subtotal(c.Flag("Print"), c.Flag("IsAbsolute"), c.Flag("Display"),
                                      SubTotal, VatGRP, c.Real("Perc"));
                   c.Out("SubTotal", SubTotal);
                   c.OutArray("VatGRP", VatGRP);
                   return ok;
                 }});
  ops.push_back({"Payment", "35H",
                 TDecls()
                     .Add("Text1", K::Text)
                     .Add("Text2", K::Text)
                     .Add("PaidMode", K::Letter)
                     .Add("Amount", K::Double),
                 TDecls().Add("PaidCode", K::Letter).Add("Amount2", K::Double), [](TOpCall& c) {
                   char PaidCode = 0;
                   double Amount2 = 0;
                   const bool ok =
                       c.Dev.Payment(c.Text("Text1"), c.Text("Text2"), c.Letter("PaidMode"),
                                     c.Real("Amount"), PaidCode, Amount2);
                   c.Out("PaidCode", PaidCode);
                   c.Out("Amount2", Amount2);
                   return ok;
                 }});
  ops.push_back({"PrintFiscalText", "36H", TDecls().Add("Text", K::Text), {}, [](TOpCall& c) {
                   return c.Dev.PrintFiscalText(c.Text("Text"));
                 }});
}

}  // namespace

void AddReceiptOperations(std::vector<TOperation>& ops) {
  AddOpenClose(ops);
  AddSales(ops);
  AddTotals(ops);
}

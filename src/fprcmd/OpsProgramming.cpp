// Table rows: reports, programming, cash in and out, and any command with a
// free parameter text.
#include "OperationRows.h"

namespace {

using K = TValueKind;

using TDailyReport = bool (TBaseDevice::*)(bool, std::int64_t&, double&, TTaxValues&);

TOperation DailyReport(const std::string& name, const std::string& command, TDailyReport report) {
  return {name, command, TDecls().Add("ZeroFlag", K::Bool),
          TDecls()
              .Add("Closure", K::Int64)
              .Add("SumTOTAL", K::Double)
              .Array("SumVatGroups", 8, K::Double),
          [report](TOpCall& c) {
            std::int64_t Closure = 0;
            double SumTOTAL = 0;
            TTaxValues SumVatGroups;
            const bool ok = (c.Dev.*report)(c.Flag("ZeroFlag"), Closure, SumTOTAL, SumVatGroups);
            c.Out("Closure", Closure);
            c.Out("SumTOTAL", SumTOTAL);
            c.OutArray("SumVatGroups", SumVatGroups);
            return ok;
          }};
}

void AddReports(std::vector<TOperation>& ops) {
  ops.push_back(DailyReport("PrintDailyReport", "45H", &TBaseDevice::PrintDailyReport));
  ops.push_back(DailyReport("PrintDailyReportByDepartments", "75H",
                            &TBaseDevice::PrintDailyReportByDepartments));
  ops.push_back(DailyReport("PrintDailyReportByDepartmentsAndPlu", "76H",
                            &TBaseDevice::PrintDailyReportByDepartmentsAndPlu));
  ops.push_back({"PrintFMReportByBlock",
                 "49H, short 5FH",
                 TDecls().Add("Short", K::Bool).Add("StartNo", K::UInt32).Add("EndNo", K::UInt32),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.PrintFMReportByBlock(c.Flag("Short"), c.UInt32("StartNo"),
                                                     c.UInt32("EndNo"));
                 }});
  ops.push_back({"PrintFMReportByDate",
                 "5EH, short 4FH",
                 TDecls().Add("Short", K::Bool).Add("StartDate", K::Date).Add("EndDate", K::Date),
                 {},
                 [](TOpCall& c) {
                   return c.Dev.PrintFMReportByDate(c.Flag("Short"), c.Date("StartDate"),
                                                    c.Date("EndDate"));
                 }});
}

void AddClockAndLines(std::vector<TOperation>& ops) {
  ops.push_back({"SetDateTime", "3DH", TDecls().Add("DateTime", K::Date), {}, [](TOpCall& c) {
                   return c.Dev.SetDateTime(c.Date("DateTime"));
                 }});
  ops.push_back(
      {"SetHeaderLine",
       "2BH",
       TDecls().Add("LineNo", K::UInt16).Add("Text", K::Text),
       {},
       [](TOpCall& c) { return c.Dev.SetHeaderLine(c.UInt16("LineNo"), c.Text("Text")); }});
  ops.push_back(
      {"SetBarcodeHeight", "2BH B", TDecls().Add("HeightMm", K::UInt16), {}, [](TOpCall& c) {
         return c.Dev.SetBarcodeHeight(c.UInt16("HeightMm"));
       }});
  ops.push_back(
      {"SetOperator",
       "66H",
       TDecls().Add("OperNo", K::UInt16).Add("Password", K::Text).Add("OperName", K::Text),
       {},
       [](TOpCall& c) {
         return c.Dev.SetOperator(c.UInt16("OperNo"), c.Text("Password"), c.Text("OperName"));
       }});
}

// The second text is left out of the request when empty.
const TRecordFields<TDepartmentInfo>& DepartmentInfo() {
  static const auto fields = TRecordFields<TDepartmentInfo>("Info")
                                 .Field(FPR_FIELD(TDepartmentInfo, DepNo), K::Int32)
                                 .Field(FPR_FIELD(TDepartmentInfo, VatGroup), K::Letter)
                                 .Field(FPR_FIELD(TDepartmentInfo, DepText1), K::Text)
                                 .Field(FPR_FIELD(TDepartmentInfo, DepText2), K::Text, true);
  return fields;
}

// The counters of the record (TotalSum, Sold, AvailQtty) are not sent.
const TRecordFields<TPluData>& PluWrite() {
  static const auto fields = TRecordFields<TPluData>("Data")
                                 .Field(FPR_FIELD(TPluData, PluNo), K::Int32)
                                 .Field(FPR_FIELD(TPluData, PluName), K::Text)
                                 .Field(FPR_FIELD(TPluData, VatGroup), K::Letter)
                                 .Field(FPR_FIELD(TPluData, GroupNom), K::Int32)
                                 .Field(FPR_FIELD(TPluData, UnitPrice), K::Double)
                                 .Field(FPR_FIELD(TPluData, Quantity), K::Double);
  return fields;
}

void AddArticles(std::vector<TOperation>& ops) {
  ops.push_back({"SetDepartment", "57H", DepartmentInfo().Decls(), {}, [](TOpCall& c) {
                   return c.Dev.SetDepartment(DepartmentInfo().Read(c));
                 }});
  ops.push_back({"SetPlu", "6BH P", PluWrite().Decls(), {}, [](TOpCall& c) {
                   return c.Dev.SetPlu(PluWrite().Read(c));
                 }});
  ops.push_back({"DeletePlu", "6BH D", TDecls().Add("PluNo", K::Int32), {}, [](TOpCall& c) {
                   return c.Dev.DeletePlu(c.Int("PluNo"));
                 }});
}

void AddPaymentsAndSettings(std::vector<TOperation>& ops) {
  ops.push_back(
      {"SetPayName",
       "55H",
       TDecls().Add("PayType", K::UInt32).Add("PayName", K::Text),
       {},
       [](TOpCall& c) { return c.Dev.SetPayName(c.UInt32("PayType"), c.Text("PayName")); }});
  ops.push_back(
      {"GetInvoiceRange", "42H", TDecls().Add("CreditNote", K::Bool),
       TDecls().Add("InvStart", K::Int64).Add("InvEnd", K::Int64).Add("InvCurrent", K::Int64),
       [](TOpCall& c) {
         std::int64_t InvStart = 0, InvEnd = 0, InvCurrent = 0;
         const bool ok = c.Dev.GetInvoiceRange(c.Flag("CreditNote"), InvStart, InvEnd, InvCurrent);
         c.Out("InvStart", InvStart);
         c.Out("InvEnd", InvEnd);
         c.Out("InvCurrent", InvCurrent);
         return ok;
       }});
  // The range goes in and comes back as the device took it.
  ops.push_back(
      {"SetInvoiceRange", "42H",
       TDecls().Add("CreditNote", K::Bool).Add("InvStart", K::Int64).Add("InvEnd", K::Int64),
       TDecls().Add("InvStart", K::Int64).Add("InvEnd", K::Int64), [](TOpCall& c) {
         std::int64_t InvStart = c.Int64("InvStart"), InvEnd = c.Int64("InvEnd");
         const bool ok = c.Dev.SetInvoiceRange(c.Flag("CreditNote"), InvStart, InvEnd);
         c.Out("InvStart", InvStart);
         c.Out("InvEnd", InvEnd);
         return ok;
       }});
  ops.push_back({"SetGeneralPRNSettings", "53H", GeneralPRNSettings().Decls(), {}, [](TOpCall& c) {
                   return c.Dev.SetGeneralPRNSettings(GeneralPRNSettings().Read(c));
                 }});
  ops.push_back(
      {"ImportExportAmount", "46H", TDecls().Add("Amount", K::Double), {}, [](TOpCall& c) {
         return c.Dev.ImportExportAmount(c.Real("Amount"));
       }});
  ops.push_back(
      {"ExecuteCommand",
       "any (CmdCode)",
       TDecls().Add("CmdCode", K::UInt8).Add("Params", K::Text),
       {},
       [](TOpCall& c) { return c.Dev.ExecuteCommand(c.UInt8("CmdCode"), c.Text("Params")); }});
}

}  // namespace

void AddProgrammingOperations(std::vector<TOperation>& ops) {
  AddReports(ops);
  AddClockAndLines(ops);
  AddArticles(ops);
  AddPaymentsAndSettings(ops);
}

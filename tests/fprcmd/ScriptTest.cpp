// Scripts: the shipped examples against the simulator, reading the whole file
// before the link opens, --keep-going, and the JSON lines.
#include <gtest/gtest.h>

#include <cmath>

#include "FprCmdTestSupport.h"
#include "ScriptReader.h"
#include "SimState.h"

namespace {

using json = nlohmann::json;

std::string Example(const std::string& name) { return std::string(FPR_EXAMPLES_DIR) + "/" + name; }

TEST(SplitWords, QuotesEscapesAndComments) {
  struct TCase {
    const char* Line;
    std::vector<std::string> Words;
  } cases[] = {
      {"RegisterSale Text1=\"\" Text2=\"PLU name 1\"",
       {"RegisterSale", "Text1=", "Text2=PLU name 1"}},
      {"  op  GetVATValues   # the rates", {"op", "GetVATValues"}},
      {"PrintFiscalText Text=\"a \\\"b\\\" \\\\ c\\td # e\"",
       {"PrintFiscalText", "Text=a \"b\" \\ c\td # e"}},
      {"2A \"Comment text\"", {"2A", "Comment text"}},
      {"# only a comment", {}},
      {"\t\r", {}},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(SplitWords(c.Line, words, error)) << c.Line;
    EXPECT_EQ(words, c.Words) << c.Line;
  }
  std::vector<std::string> words;
  std::string error;
  EXPECT_FALSE(SplitWords("PrintFiscalText Text=\"open", words, error));
  EXPECT_EQ(error, "a double quote is not closed");
}

using ScriptRun = TFprCmdSimFixture;

// The totals the console's test receipt books, worked out from the script's
// own values in hundredths: a 10 % surcharge on each VAT group, then 20.00 off
// shared by the groups' weight, then three payments, cash paying the rest.
TEST_F(ScriptRun, TestFiscalReceiptExampleBooksWhatTheConsolesTestReceiptBooks) {
  const TCmdRun run = RunCmd(Link({"--json", "--script", Example("test-fiscal-receipt.fprcmd")}));
  ASSERT_EQ(run.Status, 0) << run.Out << run.Err;
  const auto lines = run.JsonLines();
  ASSERT_EQ(lines.size(), 13u);
  for (const json& line : lines) EXPECT_EQ(line["result"], true) << line.dump();

  const std::int64_t groupA = std::llround(1.20 * 100);
  const std::int64_t groupB = std::llround(1.50 * 2.2 * 100) + std::llround(20.00 * 3 * 100) +
                              std::llround(120.00 * 0.90 * 100) +
                              std::llround(25.00 * 2.2 * 1.05 * 100);
  const std::int64_t surchargedA = std::llround(groupA * 1.10);
  const std::int64_t surchargedB = std::llround(groupB * 1.10);
  const std::int64_t offA = std::llround(2000.0 * surchargedA / (surchargedA + surchargedB));
  const std::int64_t bookedA = surchargedA - offA;
  const std::int64_t bookedB = surchargedB - (2000 - offA);
  const std::int64_t cash = bookedA + bookedB - 1200 - 1020;

  const sim::TSimState s = Sim.Device().Snapshot();
  EXPECT_EQ(s.DaySales[0], bookedA);
  EXPECT_EQ(s.DaySales[1], bookedB);
  EXPECT_EQ(s.DayPayments[sim::PayIndexOf('C')], 1200);
  EXPECT_EQ(s.DayPayments[sim::PayIndexOf('N')], 1020);
  EXPECT_EQ(s.DayPayments[sim::PayIndexOf('P')], cash);
  EXPECT_EQ(s.FiscalReceipts, 1);
  EXPECT_FALSE(Sim.Device().FiscalReceiptOpen());

  // The step lines carry their out values: the second subtotal and the change.
  EXPECT_EQ(lines[8]["line"], 22);
  EXPECT_DOUBLE_EQ(lines[8]["out"]["SubTotal"].get<double>(), (bookedA + bookedB) / 100.0);
  EXPECT_EQ(lines[11]["out"]["PaidCode"], "R");
  EXPECT_DOUBLE_EQ(lines[11]["out"]["Amount2"].get<double>(), (100000 - cash) / 100.0);
  EXPECT_EQ(lines[12]["op"], "CloseFiscalReceipt");
  EXPECT_EQ(lines[12]["out"]["FiscReceipt"], 1);
}

TEST_F(ScriptRun, OtherExamplesRunToTheEnd) {
  const TCmdRun comment =
      RunCmd(Link({"--keep-going", "--script", Example("test-comment-receipt.fprcmd")}));
  EXPECT_EQ(comment.Status, 0) << comment.Out;
  EXPECT_NE(comment.Out.find("Script: 8 steps run, 0 failed\n"), std::string::npos);
  EXPECT_EQ(Sim.Device().ExecutedCount(0x2A), 6);
  EXPECT_FALSE(Sim.Device().CommentReceiptOpen());

  const TCmdRun report = RunCmd(Link({"--script", Example("daily-x-report.fprcmd")}));
  EXPECT_EQ(report.Status, 0) << report.Out;
  EXPECT_EQ(Sim.Device().Closure(), 1);  // an X report does not close the day

  const TCmdRun check = RunCmd(Link({"--json", "--script", Example("device-check.fprcmd")}));
  EXPECT_EQ(check.Status, 0) << check.Out;
  const auto lines = check.JsonLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1]["out"]["Info.SerialNumber"], Sim.Device().Snapshot().SerialNumber);
  EXPECT_DOUBLE_EQ(lines[3]["out"]["Values[3]"].get<double>(), 9.0);
}

TEST_F(ScriptRun, AnErrorOnTheLastLineSendsNothing) {
  TCountingFactory factory;
  const std::string script =
      "GetFiscalStatus\n"
      "OpenFiscalReceipt Param.OperatorName=OPER1 Param.UniqueSellNo=QZ999834-0001-0000001\n"
      "\n"
      "# a price with a comma\n"
      "RegisterSale Text1=A Text2=\"\" VatGrp=А Price=1,20 Qtty=1 Perc=0\n";
  const TCmdRun run = RunCmd(Link({"--script", "-"}), script, factory.Factory());
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err,
            "fprcmd: standard input:5: RegisterSale: argument Price (double): '1,20' is not a "
            "number (decimals with '.')\n"
            "fprcmd: nothing was sent\n");
  EXPECT_EQ(factory.Calls, 0);
  EXPECT_EQ(Sim.Device().ExecutedCount(), 0);
}

TEST_F(ScriptRun, EveryBadLineIsReported) {
  const std::string script =
      "GetFiscalStatu\n"
      "RegisterSale VatGrp=中\n"
      "4A1 W\n"
      "PrintFiscalText Text=\"open\n"
      "ExecuteCommand CmdCode=256 Params=\n";
  const TCmdRun run = RunCmd(Link({"--script", "-"}), script);
  EXPECT_EQ(run.Status, 2);
  for (const char* says :
       {"standard input:1: unknown operation 'GetFiscalStatu' (did you mean GetFiscalStatus?)",
        "standard input:2: RegisterSale: argument VatGrp (letter): the character at byte 0",
        "standard input:2: RegisterSale: missing argument Price (double)",
        "standard input:3: Invalid value for command.",
        "standard input:4: a double quote is not closed",
        "standard input:5: ExecuteCommand: argument CmdCode (uint8): '256' is out of range "
        "0..255"}) {
    EXPECT_NE(run.Err.find(says), std::string::npos) << says << "\n" << run.Err;
  }
  EXPECT_EQ(Sim.Device().ExecutedCount(), 0);

  const TCmdRun empty = RunCmd(Link({"--script", "-"}), "# nothing\n\n");
  EXPECT_EQ(empty.Status, 2);
  EXPECT_NE(empty.Err.find("standard input holds no step"), std::string::npos);
  EXPECT_EQ(RunCmd(Link({"--script", "/nonexistent/steps"})).Status, 2);
}

// A sale without an open receipt is refused by the device; the step after it
// runs only with --keep-going, and the exit status says a step failed.
TEST_F(ScriptRun, KeepGoingRunsPastARefusedStep) {
  const std::string script =
      "GetFiscalStatus\n"
      "RegisterSale Text1=A Text2=\"\" VatGrp=А Price=1 Qtty=1 Perc=0\n"
      "4A W\n";
  const TCmdRun stops = RunCmd(Link({"--script", "-"}), script);
  EXPECT_EQ(stops.Status, 1);
  EXPECT_NE(
      stops.Out.find("Line 2: RegisterSale Text1=A Text2=\"\" VatGrp=А Price=1 Qtty=1 Perc=0\n"
                     "Operation: RegisterSale\n"),
      std::string::npos)
      << stops.Out;
  EXPECT_NE(stops.Out.find("Error: Not opened fisc. receipt. [2/3]"), std::string::npos);
  EXPECT_EQ(stops.Out.find("Line 3:"), std::string::npos);
  EXPECT_NE(stops.Out.find("Script: 2 steps run, 1 failed\n"), std::string::npos);
  EXPECT_EQ(Sim.Device().ExecutedCount(0x4A), 0);

  const TCmdRun goesOn = RunCmd(Link({"--keep-going", "--json", "--script", "-"}), script);
  EXPECT_EQ(goesOn.Status, 1);
  const auto lines = goesOn.JsonLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1]["result"], false);
  EXPECT_EQ(lines[1]["code"], 208);
  EXPECT_EQ(lines[2]["line"], 3);
  EXPECT_EQ(lines[2]["command"], "4A");
  EXPECT_EQ(lines[2]["result"], true);
  EXPECT_EQ(Sim.Device().ExecutedCount(0x4A), 1);
}

// Input that only the device library refuses (a letter that is no VAT group)
// is found when its step runs: that step sends nothing and the exit status is 2.
TEST_F(ScriptRun, AStepRefusedOnItsInputExitsWithTwo) {
  const std::string script =
      "OpenFiscalReceipt Param.OperatorName=OPER1 Param.UniqueSellNo=QZ999834-0001-0000001\n"
      "RegisterSale Text1=A Text2=\"\" VatGrp=Z Price=1 Qtty=1 Perc=0\n";
  const TCmdRun run = RunCmd(Link({"--json", "--script", "-"}), script);
  EXPECT_EQ(run.Status, 2);
  const auto lines = run.JsonLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1]["input_error"], true);
  EXPECT_EQ(lines[1]["code"], 201);
  EXPECT_EQ(lines[1]["text"], "Invalid input data. [VatGrp]");
  EXPECT_EQ(lines[1]["exchanges"].size(), 0u);
  EXPECT_EQ(Sim.Device().ExecutedCount(0x31), 0);
}

}  // namespace

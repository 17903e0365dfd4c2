// The state file against the model's limits, cut files and the closing line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "SimModelFixture.h"
#include "SimStateFile.h"

using namespace sim;

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

// A default state file with `line` put in: over the scalar line of the same
// key, or before the closing line for a list. Returns its 1-based line number.
int Put(std::vector<std::string>& lines, const std::string& line) {
  const std::string key = line.substr(0, line.find('=') + 1);
  const bool list = key == "dept=" || key == "plu=" || key == "operator=" || key == "fm=" ||
                    key == "line=" || key == "receipt=";
  for (std::size_t i = 0; i < lines.size() && !list; ++i) {
    if (lines[i].rfind(key, 0) == 0) {
      lines[i] = line;
      return static_cast<int>(i) + 1;
    }
  }
  lines.insert(lines.end() - 1, line);
  return static_cast<int>(lines.size()) - 1;
}

std::string Refusal(const std::string& text) {
  TSimState s;
  std::string error;
  EXPECT_FALSE(ParseState(text, s, &error)) << text;
  return error;
}

}  // namespace

TEST(SimStateLimits, EachLimitExceededByOneIsRefusedNamingItsLine) {
  struct {
    const char* Line;
    const char* Why;
  } cases[] = {
      {"clock_offset=300000000001", "'clock_offset' out of range (-300000000000 to 300000000000)"},
      {"clock_offset=-300000000001", "'clock_offset' out of range (-300000000000 to 300000000000)"},
      {"multiplier=1001", "'multiplier' out of range (0 to 1000)"},
      {"decimals=4", "'decimals' out of range (0 to 3)"},
      {"tax_enabled=1|1|1|1|1|1|1|2", "'tax_enabled' out of range (0 to 1)"},
      {"tax_rates=0|0|0|0|0|0|0|10000", "'tax_rates' out of range (0 to 9999)"},
      {"barcode_dots=241", "'barcode_dots' out of range (1 to 240)"},
      {"invoice_end=100000000000", "'invoice_end' out of range (1 to 99999999999)"},
      {"credit_current=100000000001", "'credit_current' out of range (1 to 100000000000)"},
      {"doc_number=1000000000", "'doc_number' out of range (0 to 999999999)"},
      {"fiscal_receipts=-1", "'fiscal_receipts' out of range (0 to 999999999)"},
      {"closure=1000000000", "'closure' out of range (1 to 999999999)"},
      {"closure=0", "'closure' out of range (1 to 999999999)"},
      {"day_sales=0|0|0|0|0|0|0|1000000000000000",
       "'day_sales' out of range (-999999999999999 to 999999999999999)"},
      {"day_payments=-1000000000000000|0|0|0|0|0|0|0|0|0|0",
       "'day_payments' out of range (-999999999999999 to 999999999999999)"},
      {"cash=1000000000000000", "'cash' out of range (-999999999999999 to 999999999999999)"},
      {"cash_in=-1", "'cash_in' out of range (0 to 999999999999999)"},
      {"fm_capacity=100001", "'fm_capacity' out of range (0 to 100000)"},
      {"receipt_doc_no=100000000000", "'receipt_doc_no' out of range (0 to 99999999999)"},
      {"receipt_paid=0|0|0|0|0|0|0|0|0|0|1000000000000000",
       "'receipt_paid' out of range (0 to 999999999999999)"},
      {"currency=ABCDEFGHIJK", "'currency' too long (at most 10 bytes)"},
      {"eik=12345678901234567", "'eik' too long (at most 16 bytes)"},
      {"lines=|||||||1234567890123456789012345678901234567", "'lines' too long (at most 36 bytes)"},
      {"operator=17|0000|X", "'operator' number out of range (1 to 16)"},
      {"operator=1|123456789|X", "'operator' password too long (at most 8 bytes)"},
      {"fm=1|400000000001|0", "'fm' time out of range (-400000000000 to 400000000000)"},
      {"dept=100|1|0|0|X|", "'dept' number out of range (1 to 99)"},
      {"dept=1|1|1000000000|0|X|", "'dept' day count out of range (0 to 999999999)"},
      {"plu=3001|1|0|0|0|0|0|X", "'plu' number out of range (1 to 3000)"},
      {"plu=1|1|0|-1|0|0|0|X", "'plu' price out of range (0 to 999999999999999)"},
      {"plu=1|1|0|0|0|0|0|1234567890123456789012345678901234567",
       "'plu' name too long (at most 36 bytes)"},
      {"line=1|0|0|1000|19999999999|0|0",
       "'line' amount out of range (-19999999998 to 19999999998)"},
      {"line=1|256|0|1000|100|0|0", "'line' department out of range (0 to 255)"},
      {"receipt=3|0|0|0", "'receipt' kind out of range (0 to 2)"},
  };
  const std::vector<std::string> base = LinesOf(SerializeState(TSimState{}));
  for (const auto& c : cases) {
    std::vector<std::string> lines = base;
    const int at = Put(lines, c.Line);
    EXPECT_EQ(Refusal(Join(lines)), "line " + std::to_string(at) + ": " + c.Why) << c.Line;
  }
}

TEST(SimStateLimits, RecordsAndReceiptLinesMustFitTogether) {
  struct {
    std::vector<const char*> Lines;
    int RefusedAt;  // among the added lines, 0-based
    const char* Why;
  } cases[] = {
      {{"fm_capacity=1", "fm=1|0|0", "fm=2|0|0"}, 2, "'fm' more records than fm_capacity"},
      {{"fm=1|0|0", "fm=2|0|0", "fm_capacity=1"},
       2,
       "'fm_capacity' below the fm records before it"},
      // A negative group, and a total past one receipt's limit: named at the last receipt line.
      {{"line=1|0|0|1000|500|0|0", "line=2|0|0|1000|-100|0|0", "line=1|0|0|1000|100|0|0"},
       2,
       "'line' group total out of range (0 to 9999999999)"},
      {{"line=1|0|0|1000|6000000000|0|0", "line=2|0|0|1000|6000000000|0|0"},
       1,
       "'line' receipt total out of range (0 to 9999999999)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = LinesOf(SerializeState(TSimState{}));
    std::vector<int> at;
    for (const char* l : c.Lines) {
      // fm_capacity is a scalar: move it where the case wants it.
      if (std::string(l).rfind("fm_capacity=", 0) == 0) {
        std::erase_if(lines, [](const std::string& x) { return x.rfind("fm_capacity=", 0) == 0; });
        lines.insert(lines.end() - 1, l);
        at.push_back(static_cast<int>(lines.size()) - 1);
      } else {
        at.push_back(Put(lines, l));
      }
    }
    EXPECT_EQ(Refusal(Join(lines)),
              "line " + std::to_string(at[static_cast<std::size_t>(c.RefusedAt)]) + ": " + c.Why)
        << c.Lines.back();
  }
}

TEST(SimStateLimits, AFileCutAtAnyLineBoundaryIsRefused) {
  TSimState s;
  s.Fm.push_back({1, 1'700'000'000, 12345});
  s.Closure = 2;
  const std::vector<std::string> lines = LinesOf(SerializeState(s));
  ASSERT_EQ(lines.back(), "end");
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::vector<std::string> cut(lines.begin(), lines.begin() + static_cast<long>(n));
    EXPECT_EQ(Refusal(Join(cut)),
              "line " + std::to_string(n) + ": the file ends without its closing line 'end'");
  }
  std::vector<std::string> extra = lines;
  extra.push_back("closure=9");
  EXPECT_EQ(Refusal(Join(extra)),
            "line " + std::to_string(extra.size()) + ": text after the closing line");
}

TEST(SimStateLimits, VersionOneFilesWithoutTheClosingLineAreReadWithAWarning) {
  std::vector<std::string> lines = LinesOf(SerializeState(TSimState{}));
  lines.front() = "fprsim-state 1";
  lines.pop_back();
  Put(lines, "closure=42");
  TSimState s;
  std::string error, warning;
  ASSERT_TRUE(ParseState(Join(lines) + "end\n", s, &error, &warning)) << error;
  EXPECT_EQ(warning, "");
  lines.pop_back();  // "end" was put back above; a version 1 file lacks it
  ASSERT_TRUE(ParseState(Join(lines), s, &error, &warning)) << error;
  EXPECT_EQ(s.Closure, 42);
  EXPECT_EQ(warning, "a version 1 file has no closing line: it may have been cut short");
}

// A state at a limit loads; a command that would pass the limit is refused
// as an overflow ([1/0]) and changes nothing (UBSan watches the arithmetic).
class SimStateAtLimits : public SimModelTest {
 protected:
  void Load(const std::vector<const char*>& put) {
    std::vector<std::string> lines = LinesOf(SerializeState(TSimState{}));
    for (const char* l : put) Put(lines, l);
    std::string error;
    ASSERT_TRUE(ParseState(Join(lines), M.State(), &error)) << error;
  }
  void ExpectOverflow(std::uint8_t cmd, const std::string& data, const char* name) {
    const std::string before = SerializeState(M.State());
    EXPECT_TRUE(Bit(Run(cmd, data), 1, 0)) << name;
    EXPECT_EQ(SerializeState(M.State()), before) << name;
  }
};

TEST_F(SimStateAtLimits, CountersAndCashStopAtTheirLimits) {
  struct {
    const char* Line;
    std::uint8_t Cmd;
    const char* Data;
  } cases[] = {
      {"doc_number=999999999", 0x26, ""},
      {"all_receipts=999999999", 0x26, ""},
      {"fiscal_receipts=999999999", 0x90, "OP,QZ999834-0001-0000001"},
      {"closure=999999999", 0x45, "0"},
      {"cash_in=999999999999999", 0x46, "1.00"},
      {"cash_out=999999999999999", 0x46, "-1.00"},
  };
  for (const auto& c : cases) {
    Load({c.Line, "cash=100"});
    ExpectOverflow(c.Cmd, c.Data, c.Line);
  }
}

TEST_F(SimStateAtLimits, ClosingAReceiptStopsAtEveryRegisterItBooks) {
  const char* full[] = {
      "day_sales=999999999999999|0|0|0|0|0|0|0",
      "cash=999999999999999",
      "day_payments=999999999999999|0|0|0|0|0|0|0|0|0|0",
      "dept=1|1|999999999|0|BREAD|",
      "dept=1|1|0|999999999999999|BREAD|",
      "plu=7|1|1|100|-999999999999999|0|0|P",
      "plu=7|1|1|100|0|999999999999999|0|P",
      "plu=7|1|1|100|0|0|999999999999999|P",
  };
  for (const char* line : full) {
    Load({"plu=7|1|1|100|0|0|0|P", "dept=1|1|0|0|BREAD|", line, "clock_offset=300000000000"});
    OpenReceipt();
    Ok(0x3A, "7");
    Ok(0x35, "\tP");
    ExpectOverflow(0x38, "", line);
    EXPECT_TRUE(M.State().FiscalOpen()) << line;
    TSimState back;
    EXPECT_TRUE(ParseState(SerializeState(M.State()), back, nullptr)) << line;
  }
  Ok(0x3E);  // a clock at its limit still reads
}

// The operation table against the device's own declaration: every command
// operation is in it, under the declared parameter names, and --list shows it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "FprCmdTestSupport.h"
#include "OperationTable.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Name -> parameter names of every non-static bool operation declared from
// GetFPR_DateTime through ExecuteCommand.
std::map<std::string, std::set<std::string>> DeclaredOperations() {
  const std::string header = ReadFile(FPR_BASE_DEVICE_HEADER);
  const std::size_t from = header.find("bool GetFPR_DateTime(");
  const std::size_t to = header.find(";", header.find("bool ExecuteCommand("));
  EXPECT_NE(from, std::string::npos);
  EXPECT_NE(to, std::string::npos);
  const std::string part = header.substr(from, to + 1 - from);
  std::map<std::string, std::set<std::string>> ops;
  const std::regex decl(R"((static\s+)?bool\s+(\w+)\s*\(([^)]*)\)\s*;)");
  for (auto it = std::sregex_iterator(part.begin(), part.end(), decl); it != std::sregex_iterator();
       ++it) {
    if ((*it)[1].matched) continue;  // IsUniqueSellNoValid sends nothing
    std::set<std::string> params;
    const std::string list = (*it)[3];
    const std::regex lastWord(R"((\w+)\s*(,|$))");
    for (auto p = std::sregex_iterator(list.begin(), list.end(), lastWord);
         p != std::sregex_iterator(); ++p) {
      params.insert((*p)[1]);
    }
    ops[(*it)[2]] = params;
  }
  return ops;
}

// "Param.OperatorName" -> "Param", "Values[3]" -> "Values".
std::string Root(const std::string& name) { return name.substr(0, name.find_first_of(".[")); }

TEST(OperationTable, HoldsEveryCommandOperationOfTheDevice) {
  const auto declared = DeclaredOperations();
  ASSERT_GE(declared.size(), 50u);  // the reading of the header worked
  for (const auto& [name, params] : declared) {
    EXPECT_NE(FindOperation(name), nullptr) << name << " is missing from the table";
  }
  for (const TOperation& op : Operations()) {
    EXPECT_EQ(declared.count(op.Name), 1u) << op.Name << " is not an operation of the device";
  }
}

TEST(OperationTable, NamesArgumentsAndOutValuesAsTheDeclarationDoes) {
  const auto declared = DeclaredOperations();
  for (const TOperation& op : Operations()) {
    const auto it = declared.find(op.Name);
    if (it == declared.end()) continue;
    std::set<std::string> used;
    for (const auto* decls : {&op.Args, &op.Outs}) {
      for (const TValueDecl& s : *decls) {
        EXPECT_EQ(it->second.count(Root(s.Name)), 1u) << op.Name << ": " << s.Name;
        used.insert(Root(s.Name));
      }
    }
    EXPECT_EQ(used, it->second) << op.Name << ": a parameter has no argument or out value";
  }
}

TEST(OperationTable, RecordFieldsAreFieldsOfTheRecords) {
  std::string records;
  for (const char* file : {"InfoRecords.h", "ProgrammingRecords.h", "ReceiptRecords.h"}) {
    std::string path = FPR_BASE_DEVICE_HEADER;
    path.replace(path.rfind('/') + 1, std::string::npos, file);
    records += ReadFile(path);
  }
  for (const TOperation& op : Operations()) {
    for (const auto* decls : {&op.Args, &op.Outs}) {
      for (const TValueDecl& s : *decls) {
        const std::size_t dot = s.Name.find('.');
        if (dot == std::string::npos) continue;
        const std::string field = s.Name.substr(dot + 1, s.Name.find('[') - dot - 1);
        const std::regex member("\\b" + field + "\\b\\s*(;|=|\\{)");
        EXPECT_TRUE(std::regex_search(records, member)) << op.Name << ": " << s.Name;
      }
    }
  }
}

TEST(OperationList, ShowsEveryOperationWithItsKinds) {
  const TCmdRun text = RunCmd({"--list"});
  EXPECT_EQ(text.Status, 0);
  for (const std::string& name : OperationNames()) {
    EXPECT_NE(text.Out.find(name + "  ("), std::string::npos) << name;
  }
  EXPECT_NE(text.Out.find("OpenFiscalReceipt  (90H)\n  in:  Param.OperatorName:text "
                          "Param.UniqueSellNo:text [Param.IsInvoice:bool]"),
            std::string::npos);
  EXPECT_NE(text.Out.find("GetVATValues  (61H)\n  in:  -\n  out: Values[1..8]:double\n"),
            std::string::npos);
  EXPECT_NE(text.Out.find("RegisterDepartmentSale  (31H)\n  in:  Text1:text Text2:text "
                          "DepartNo:uint8 Price:double Qtty:double Perc:double\n"),
            std::string::npos);

  const auto lines = RunCmd({"--list", "--json"}).JsonLines();
  ASSERT_EQ(lines.size(), Operations().size());
  EXPECT_EQ(lines[0]["name"], "GetFPR_DateTime");
  EXPECT_EQ(lines[0]["outs"][0], (nlohmann::json{{"name", "DateTime"}, {"kind", "date"}}));
}

}  // namespace

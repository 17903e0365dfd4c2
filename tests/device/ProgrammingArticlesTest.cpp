// Departments (57H) and PLUs (6BH P and D).

#include <gtest/gtest.h>

#include "ProgrammingTestCase.h"

namespace {

using namespace prog_test;
using TCall = std::function<bool(TBaseDevice&)>;

TCall Department(std::int32_t no, char vat, std::string t1, std::string t2) {
  return [=](TBaseDevice& dev) { return dev.SetDepartment({no, vat, t1, t2}); };
}

// PLU 12, group А, department 1, 2.50 for 1.000, MILK; `change` varies it.
TCall Plu(std::function<void(TPluData&)> change = {}) {
  TPluData p{12, "MILK", '\xC0', 1, 2.5, 1, 99, 98, 97};  // read-back fields are not sent
  if (change) change(p);
  return [=](TBaseDevice& dev) { return dev.SetPlu(p); };
}

TCall Delete(std::int32_t no) {
  return [=](TBaseDevice& dev) { return dev.DeletePlu(no); };
}

const std::string kMilk = std::string("P\xC0") + "12,1,2.50,A1.000,MILK";
const std::string kCantProgram = "[can't program plu]";

TEST(ProgrammingArticles, Department) {
  RunProgCases({
      Sends("one line", Department(5, '\xC0', "BREAD", ""), 0x57, "5,\xC0,BREAD"),
      Sends("two lines", Department(5, '\xC0', "BREAD", "WHITE"), 0x57, "5,\xC0,BREAD\nWHITE"),
      // The group letter is the device's to judge here.
      Sends("latin group", Department(250, 'A', "X", ""), 0x57, "250,A,X"),
      Fails("status, no description", Department(1, '\xC1', "X", ""), 0x57, "1,\xC1,X", "",
            StatusWith({{0, 1}, {2, 0}}), 204, Msg(204) + "[0/1]"),
  });
}

TEST(ProgrammingArticles, Plu) {
  const std::string name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789WXYZ";
  auto lastGroup = [&](TPluData& p) {
    p.VatGroup = '\xC7';
    p.UnitPrice = -0.125;
    p.Quantity = 12.3456;
    p.PluName = name40;
  };
  RunProgCases({
      Sends("milk", Plu(), 0x6B, kMilk, "P"),
      Sends("last group, negative price, long name", Plu(lastGroup), 0x6B,
            std::string("P\xC7") + "12,1,-0.13,A12.346," + name40.substr(0, 36), "P"),
      Sends("name with comma", Plu([](TPluData& p) { p.PluName = "MILK, 1L"; }), 0x6B,
            kMilk + ", 1L", "P"),
      Sends("comma separator", Plu(), 0x6B, std::string("P\xC0") + "12,1,2,50,A1,000,MILK", "P",
            {',', ':'}),
      Fails("answer F", Plu(), 0x6B, kMilk, "F", StatusWith(), 201, Msg(201) + kCantProgram),
      Fails("empty answer", Plu(), 0x6B, kMilk, "", StatusWith(), 201, Msg(201) + kCantProgram),
      Fails("answer PP", Plu(), 0x6B, kMilk, "PP", StatusWith(), 201, Msg(201) + kCantProgram),
      Fails("status first", Plu(), 0x6B, kMilk, "P", StatusWith({{1, 4}, {2, 0}}), 220,
            Msg(220) + "[1/4]"),
  });
  for (char vat : {'A', '\xBF', '\xC8', '\0'}) {
    RunProgCase(Refuses("group " + std::to_string(static_cast<std::uint8_t>(vat)),
                        Plu([vat](TPluData& p) { p.VatGroup = vat; }), "[VatGrp]"));
  }
}

TEST(ProgrammingArticles, DeletePlu) {
  RunProgCases({
      Sends("all", Delete(0), 0x6B, "DA", "P"),
      Sends("negative is all", Delete(-3), 0x6B, "DA", "P"),
      Sends("one", Delete(12), 0x6B, "D12", "P"),
      // A refusal is a plain false with nothing recorded.
      Fails("refused", Delete(12), 0x6B, "D12", "F", StatusWith(), 0, ""),
      Fails("empty answer", Delete(12), 0x6B, "D12", "", StatusWith(), 0, ""),
      // The error text carries the description of the other set conditions.
      Fails("status", Delete(12), 0x6B, "D12", "P", StatusWith({{0, 1}, {2, 0}}), 204,
            Msg(204) + "[0/1]  " + Msg(210)),
  });
}

}  // namespace

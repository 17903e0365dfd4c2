// Sales in a fiscal receipt (31H, 34H, 3AH): request bytes and input checks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReceiptTestCase.h"

using namespace receipt_test;

namespace {

constexpr char kA = '\xC0';  // VAT group 1
constexpr char kB = '\xC1';  // VAT group 2
constexpr char kZ = '\xC7';  // VAT group 8

TCase Sent(std::string name, std::function<bool(TBaseDevice&)> call, std::uint8_t cmd,
           std::string data, char decimal = '.') {
  TCase c{std::move(name), std::move(call), cmd, std::move(data)};
  c.DecimalSeparator = decimal;
  return c;
}

TCase Refused(std::string name, std::function<bool(TBaseDevice&)> call, const std::string& tag) {
  return {std::move(name),     std::move(call), 0, "", "", kReceiptOpen, false, 201,
          BeforeSend(201, tag)};
}

}  // namespace

TEST(ReceiptSale, RegisterSaleRequests) {
  const auto sale = [](std::string t1, std::string t2, char vat, double price, double qtty,
                       double perc) {
    return [=](TBaseDevice& d) { return d.RegisterSale(t1, t2, vat, price, qtty, perc); };
  };
  const std::vector<TCase> cases = {
      Sent("price and quantity", sale("PLU name", "", kB, 1.2, 2.2, 0), 0x31,
           "PLU name\t\xC1"
           "1.20*2.200"),
      Sent("decimal comma", sale("PLU name", "", kB, 1.2, 2.2, 0), 0x31,
           "PLU name\t\xC1"
           "1,20*2,200",
           ','),
      Sent("second line only, discount", sale("", "PLU name 4", kB, 120, 1, -10), 0x31,
           "\nPLU name 4\t\xC1"
           "120.00,-10.00"),
      Sent("discount with decimal comma", sale("", "PLU name 4", kB, 120, 1, -10), 0x31,
           "\nPLU name 4\t\xC1"
           "120,00,-10,00",
           ','),
      Sent("both lines", sale("One", "Two", kA, 3, 1, 0), 0x31,
           "One\nTwo\t\xC0"
           "3.00"),
      Sent("no text at all", sale("", "", kA, 0.5, 1, 0), 0x31,
           "\t\xC0"
           "0.50"),
      Sent("last VAT group", sale("X", "", kZ, 1, 1, 0), 0x31,
           "X\t\xC7"
           "1.00"),
      Sent("negative price keeps its sign", sale("X", "", kA, -1.5, 1, 0), 0x31, "X\t\xC0-1.50"),
      Sent("surcharge and quantity", sale("", "PLU name 5", kB, 25, 2.2, 5), 0x31,
           "\nPLU name 5\t\xC1"
           "25.00*2.200,5.00"),
      Sent("texts not trimmed", sale(" a ", " b ", kA, 1, 1, 0), 0x31,
           " a \n b \t\xC0"
           "1.00"),
      Sent("control byte escaped, tab passes", sale("a\x01\tb", "", kA, 1, 1, 0), 0x31,
           "a\x10\x41\tb\t\xC0"
           "1.00"),
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptSale, FamilyRequests) {
  const std::vector<TCase> cases = {
      Sent(
          "department sale",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("T1", "T2", 12, 5, 1, 0); }, 0x31,
          "T1\nT2\t12\t5.00"),
      Sent(
          "department sale, bounds allowed",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 255, 5, 0.5, 99); }, 0x31,
          "\t255\t5.00*0.500,99.00"),
      Sent(
          "department sale, lower bound",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 1, 5, 1, -99); }, 0x31,
          "\t1\t5.00,-99.00"),
      Sent(
          "department sale, decimal comma",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 1, 5, 1.5, -9.5); }, 0x31,
          "\t1\t5,00*1,500,-9,50", ','),
      Sent(
          "display sale, absolute",
          [](TBaseDevice& d) { return d.RegisterSaleAndDisplay("X", kA, 1, 1, -10, true); }, 0x34,
          "X\t\xC0"
          "1.00;-10.00"),
      Sent(
          "display sale, percentage",
          [](TBaseDevice& d) { return d.RegisterSaleAndDisplay("X", kA, 1, 2, -10, false); }, 0x34,
          "X\t\xC0"
          "1.00*2.000,-10.00"),
      Sent(
          "display department sale, department 0 left to the device",
          [](TBaseDevice& d) {
            return d.RegisterDepartmentSaleAndDisplay("", 0, 2.5, 1, 0, false);
          },
          0x34, "\t0\t2.50"),
      Sent(
          "display department sale, absolute",
          [](TBaseDevice& d) {
            return d.RegisterDepartmentSaleAndDisplay("Y", 3, 2.5, 3, 150, true);
          },
          0x34, "Y\t3\t2.50*3.000;150.00"),
      Sent(
          "PLU on display",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(true, 12, 0, 3, 0, false); }, 0x3A,
          "D12*3.000"),
      Sent(
          "PLU with department",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 12, 5, 1, 0, false); }, 0x3A,
          "12\t5\t"),
      Sent(
          "PLU with department, quantity, amount",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 12, 5, 2, 5, true); }, 0x3A,
          "12\t5\t*2.000;5.00"),
      Sent(
          "PLU percentage 99.5",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 7, 0, 1, 99.5, false); }, 0x3A,
          "7,99.50"),
      Sent(
          "PLU percentage bounds",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 7, 0, 1, -99.99, false); }, 0x3A,
          "7,-99.99"),
      Sent(
          "PLU percentage 99.99",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 7, 0, 1, 99.99, false); }, 0x3A,
          "7,99.99"),
      Sent(
          "PLU absolute amount is not limited",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 7, 0, 1, 250, true); }, 0x3A,
          "7;250.00"),
      Sent(
          "PLU, negative department not sent",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 7, -1, 1, 0, false); }, 0x3A, "7"),
      Sent(
          "PLU, decimal comma",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(true, 7, 0, 0.25, 2.5, true); }, 0x3A,
          "D7*0,250;2,50", ','),
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptSale, InputChecksSendNothing) {
  const std::vector<TCase> cases = {
      Refused(
          "Latin A", [](TBaseDevice& d) { return d.RegisterSale("X", "", 'A', 1, 1, 0); },
          "[VatGrp]"),
      Refused(
          "below the first group",
          [](TBaseDevice& d) { return d.RegisterSale("X", "", '\xBF', 1, 1, 0); }, "[VatGrp]"),
      Refused(
          "above the last group",
          [](TBaseDevice& d) { return d.RegisterSale("X", "", '\xC8', 1, 1, 0); }, "[VatGrp]"),
      Refused(
          "display sale, Latin A",
          [](TBaseDevice& d) { return d.RegisterSaleAndDisplay("X", 'A', 1, 1, 0, false); },
          "[VatGrp]"),
      Refused(
          "quantity 0 is tested first",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 0, 1, 0, 100); }, "[Qtty]"),
      Refused(
          "department 0 before the percentage",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 0, 1, 1, 100); },
          "[DepartNo]"),
      Refused(
          "percentage 99.5",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 1, 1, 1, 99.5); }, "[Perc]"),
      Refused(
          "percentage -99.01",
          [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 1, 1, 1, -99.01); },
          "[Perc]"),
      Refused(
          "PLU percentage 100",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 1, 0, 1, 100, false); }, "[Perc]"),
      Refused(
          "PLU percentage -100",
          [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 1, 0, 1, -100, false); },
          "[Perc]"),
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptSale, NoReceiptOpen) {
  RunCase({"sale answered with [2/3] clear",
           [](TBaseDevice& d) { return d.RegisterSale("X", "", kA, 1, 1, 0); }, 0x31,
           "X\t\xC0"
           "1.00",
           "", StatusWith(), false, 208, AfterAnswer(208, "[2/3]")});
}

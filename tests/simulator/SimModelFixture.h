#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimClock.h"
#include "SimModel.h"
#include "SimNumbers.h"

// A model on a fixed clock (7 December 2026, 14:05:09) with helpers that run
// commands and look at the answer.
class SimModelTest : public ::testing::Test {
 protected:
  static std::int64_t FixedTime() { return *sim::FromCivil({2026, 12, 7, 14, 5, 9}); }

  void SetUp() override {
    M.SetClock([] { return FixedTime(); });
  }

  sim::TModelAnswer Run(std::uint8_t cmd, const std::string& data = "") {
    return M.Execute(cmd, data);
  }
  // Runs a command that must succeed and returns its answer data.
  std::string Ok(std::uint8_t cmd, const std::string& data = "") {
    sim::TModelAnswer a = M.Execute(cmd, data);
    EXPECT_TRUE(a.Executed) << std::hex << int(cmd) << " '" << data << "' -> " << a.Data;
    return a.Data;
  }
  static bool Bit(const sim::TModelAnswer& a, int k, int n) { return (a.Status[k] >> n) & 1; }

  // CP1251 VAT group letters А..З.
  static std::string G(int group) { return std::string(1, sim::VatLetter(group)); }

  void OpenReceipt(const std::string& extra = "") {
    Ok(0x90, "OPER1,QZ999834-0001-0000001" + extra);
  }

  sim::TFiscalModel M;
};

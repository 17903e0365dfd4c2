#pragma once

#include <iosfwd>
#include <memory>
#include <vector>

#include "FrameDecoder.h"
#include "OperationTable.h"
#include "ScriptReader.h"
#include "StepRunner.h"

// Writes what fprcmd reports, as text for people or as JSON lines for programs.
class TPrinter {
 public:
  virtual ~TPrinter() = default;
  virtual void Step(const TStep& step, const TStepResult& result) = 0;
  // After a script: how many steps ran and how many of them failed.
  virtual void ScriptEnd(int run, int failed) = 0;
  virtual void Operation(const TOperation& op) = 0;
  // `number` counts the frames of the whole input from 1.
  virtual void Frame(int number, const TFrameReport& frame) = 0;
};

// `showStatus`: every status flag of a raw command's answer, as the console's
// "Show ECR status on end" lists them.
std::unique_ptr<TPrinter> MakeTextPrinter(std::ostream& out, bool showStatus);
std::unique_ptr<TPrinter> MakeJsonPrinter(std::ostream& out, bool showStatus);

// Device text for a terminal (UTF-8): control bytes as \t, \n or \xNN.
std::string PrintableText(const std::string& cp1251);

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "OperationTable.h"
#include "Values.h"

// One thing to run over the link: an operation with its arguments read, or a
// raw command code with its parameter text.
struct TStep {
  int Line = 0;                    // line of the script; 0 on the command line
  std::string Source;              // the words as written (UTF-8)
  const TOperation* Op = nullptr;  // null for a raw command
  TNamedValues Args;
  std::uint8_t Code = 0;
  std::string Params;  // CP1251, as handed to ExecuteCommand
};

// Splits a script line into words: blanks separate them, double quotes group
// (with \" \\ \t \n inside), and # outside quotes starts a comment. False with
// `error` for a quote that is not closed.
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error);

// A step from its words: [op] NAME [ARG=VALUE ...] for an operation, or CODE
// [PARAMS] (CODE in hexadecimal) for a raw command. Problems are appended to
// `errors`, each complete; false when there was any.
bool BuildStep(const std::vector<std::string>& words, TStep& step,
               std::vector<std::string>& errors);

// A raw command: the parameter text in UTF-8 that CP1251 must hold and that,
// escaped as ExecuteCommand escapes it, fits one request frame.
bool BuildRawStep(std::uint8_t code, const std::string& paramsUtf8, TStep& step,
                  std::vector<std::string>& errors);

// Every line of a script: blank lines and comments are skipped, every other
// line must be a step. Problems come as "LINE: message", all of them.
bool ReadScript(std::string_view text, std::vector<TStep>& steps, std::vector<std::string>& errors);

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Values.h"

// Reading typed argument values from the words a user wrote.

// False with `error` when `text` is not a value of `kind`. Integers are decimal
// or 0x-hexadecimal and must fit their type; doubles use '.'; booleans are
// 0/1/true/false; letters are one character that CP1251 holds; texts must be
// held by CP1251 as a whole; dates are YYYY-MM-DD[THH:MM:SS] or 0 for none.
bool ParseArgValue(TValueKind kind, std::string_view text, TValue& value, std::string& error);

// Reads NAME=VALUE words against `decls`: every word must name one of them, at
// most once, with a value of its kind, and every argument that is not optional
// must be given. The values come out in the order of `decls`. Every problem is
// reported, each naming its argument; false when there was any.
bool ReadArguments(const std::vector<TValueDecl>& decls, const std::vector<std::string>& words,
                   TNamedValues& values, std::vector<std::string>& errors);

// The candidate that `name` most likely meant (same letters in another case, or
// at most two edits away), or "" when none is close.
std::string ClosestName(std::string_view name, const std::vector<std::string>& candidates);

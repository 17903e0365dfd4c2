#pragma once

#include <nlohmann/json.hpp>

#include "uPrintData.h"

// A frame's fields as the log's field-by-field view names them, device text
// in UTF-8: one shape for every JSON output of the tools.
nlohmann::ordered_json PacketFieldsJson(const TPrintData& fields);

#include "StatusDecoding.h"

#include <algorithm>
#include <unordered_map>

namespace {
// The one list of codes and their messages (CP1251).
const std::unordered_map<std::int32_t, std::string>& Messages() {
  static const std::unordered_map<std::int32_t, std::string> kMessages = {
      {101, "COM port is not active."},
      {102, "Error writing to COM."},
      {103, "Fiscal printer does not respond."},
      {104, "Fail read byte from packet."},
      {105, "Fail read data from packet."},
      {106, "NAK. Printer does not recognize the command."},
      {107, "Fail read data from port."},
      {109, "Error in the packet. Wrong serial number."},
      {110, "Error in packet. Command error."},
      {111, "Error in packet. Invalid checksum."},
      {112, "Error in packet. Invalid length."},
      {120, "Device is bussy."},
      {130, "Printer returns an error: "},
      {132, "This command is not supported."},
      {200, "Invalid data from the printer. Varying length of the declared."},
      {201, "Invalid input data."},
      {203, "Received an error message from the printer."},
      {204, "Invalid command."},
      {205, "Syntax error in command."},
      {206, "The command execution is denied."},
      {207, "Lack of funds."},
      {208, "Not opened fisc. receipt."},
      {209, "Not opened comment receipt."},
      {210, "No paper."},
      {211, "There is an error in the fiscal memory."},
      {212, "Fiscal memory is full."},
      {213, "Fisk.\xEC" "emory is locked."},
      {214, "The last entry in the fiscal memory is not successful."},
      {215, "There is opened comment reciept."},
      {216, "The command is not allowed in the current fiscal regime."},
      {217, "There is oppened fisc.reciept."},
      {218, "The clock is not set."},
      {219, "The printer is malfunctioning or oppened."},
      {220, "There is the destruction of RAM after switching."},
      {221, "Low battery (Clock is in RESET)."},
      {222, "Committed Clearing RAM."},
      {223, "Overflow of some fields in amounts."},
      {224, "End of el.journal."},
      {225, "Printer cover is opened."},
      {226, "Low paper."},
      {227, "It has a memory for at least 50 entries in fisc.memory."},
      {228, "Error reading from fisc.memory."},
      {229, "Not connected customer display."},
      {230, "Open a fiscal receipt rotated 90 degrees."},
      {231, "Tax gprs terminal does not answer."},
      {233, "\xCEpened fiscal receipt."},
      {235, "\xCEpened comment receipt."},
      {236, "Very close to the end of el.journal."},
      {237, "State of Sw7."},
      {238, "State of Sw6."},
      {239, "State of Sw5."},
      {240, "State of Sw4."},
      {241, "State of Sw3."},
      {242, "State of Sw2."},
      {243, "State of Sw1."},
      {244, "Individual number of the printer and number of fisc.memory are set."},
      {245, "Unique identifier code is set."},
      {246, "Fiscal memori is formated."},
      {247, "The printer is in the fiscal mode."},
      {248, "Close to the end el.journal - 10MB."},
      {249, "Not assigned unique identification number."},
      {250, "Error in payment. The accumulated amount is negative or payment type has limited "
            "functionality."},
      {251, "Printer hardware error."},
  };
  return kMessages;
}

bool BitSet(const TDataBuffer& status, const TStatusBitInfo& b) {
  return static_cast<std::size_t>(b.Byte) < status.size() && ((status[b.Byte] >> b.Bit) & 1);
}

// The flags of one condition list, in its order.
std::vector<TStatusBitInfo> ConditionList(int TStatusBitInfo::*rank) {
  std::vector<TStatusBitInfo> list;
  for (const auto& b : StatusBitTable())
    if (b.*rank > 0) list.push_back(b);
  std::sort(list.begin(), list.end(),
            [rank](const TStatusBitInfo& a, const TStatusBitInfo& b) { return a.*rank < b.*rank; });
  return list;
}

std::string ConditionText(const TDataBuffer& status, const std::vector<TStatusBitInfo>& bits,
                          std::int32_t skipped, std::int32_t* lastCode) {
  std::string result;
  for (const auto& b : bits) {
    if (!BitSet(status, b) || b.Code == skipped) continue;
    // The first flag of the list replaces; the others are appended after ", ".
    result = (&b == &bits.front() ? "" : result + ", ") + ErrorText(b.Code, "");
    if (lastCode) *lastCode = b.Code;
  }
  if (!result.empty() && result[0] == ',') result.erase(0, 1);
  return result;
}
}  // namespace

const std::vector<TStatusBitInfo>& StatusBitTable() {
  // Byte, bit, code, rank in StatusConditionText, rank in ReadStatusConditions.
  static const std::vector<TStatusBitInfo> kTable = {
      {0, 0, 205, 1, 1},   {0, 1, 204, 2, 2},   {0, 2, 218, 3, 3},   {0, 3, 229, 0, 0},
      {0, 4, 219, 0, 4},   {0, 6, 225, 0, 0},   {1, 0, 223, 4, 5},   {1, 1, 216, 5, 6},
      {1, 2, 222, 6, 7},   {1, 3, 221, 7, 8},   {1, 4, 220, 8, 9},   {1, 5, 230, 0, 0},
      {1, 6, 231, 0, 0},   {2, 0, 210, 10, 11}, {2, 1, 226, 0, 0},   {2, 2, 224, 9, 10},
      {2, 3, 233, 0, 0},   {2, 4, 248, 0, 0},   {2, 5, 235, 0, 0},   {2, 6, 236, 0, 0},
      {3, 6, 237, 0, 0},   {3, 5, 238, 0, 0},   {3, 4, 239, 0, 0},   {3, 3, 240, 0, 0},
      {3, 2, 241, 0, 0},   {3, 1, 242, 0, 0},   {3, 0, 243, 0, 0},   {4, 0, 211, 11, 12},
      {4, 1, 245, 0, 0},   {4, 2, 244, 0, 0},   {4, 3, 227, 0, 0},   {4, 4, 212, 12, 13},
      {5, 5, 228, 0, 0},   {5, 3, 247, 0, 0},   {5, 2, 214, 13, 14}, {5, 1, 246, 0, 0},
      {5, 0, 213, 14, 15},
  };
  return kTable;
}

const std::string& ErrorMessage(std::int32_t code) {
  static const std::string kEmpty;
  const auto& m = Messages();
  const auto it = m.find(code);
  return it == m.end() ? kEmpty : it->second;
}

std::string ErrorText(std::int32_t code, const std::string& detail) {
  return ErrorMessage(code) + " " + detail;
}

std::string StatusBitsText(const TDataBuffer& status) {
  std::string out;
  for (const auto& b : StatusBitTable()) {
    if (!out.empty()) out += "\r\n";
    out += ErrorText(b.Code, BitSet(status, b) ? "[True]" : "[False]");
  }
  return out;
}

std::string StatusConditionText(const TDataBuffer& status, std::int32_t skippedCode) {
  static const auto kList = ConditionList(&TStatusBitInfo::ConditionRank);
  return ConditionText(status, kList, skippedCode, nullptr);
}

std::string StatusConditionTextAll(const TDataBuffer& status, std::int32_t& lastCode) {
  static const auto kList = ConditionList(&TStatusBitInfo::ReadConditionRank);
  return ConditionText(status, kList, 0, &lastCode);
}

#include "JsonFields.h"

#include "Cp1251.h"

nlohmann::ordered_json PacketFieldsJson(const TPrintData& f) {
  return {{"PacketLength", f.PacketLength},   {"PacketSequence", f.PacketSequence},
          {"PacketCommand", f.PacketCommand}, {"PacketData", Cp1251ToUtf8(f.PacketData)},
          {"PacketStatus", f.PacketStatus},   {"PacketSum", f.PacketSum}};
}

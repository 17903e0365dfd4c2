#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "BaseDeviceUnit.h"
#include "Values.h"

class TOpCall;

// One command operation of TBaseDevice: its name, the command it sends, its
// arguments and out values by their names in the device's declaration (record
// fields as Record.Field, array items as Name[i]), and how to call it. The list,
// the argument reader and the printers all work from this.
struct TOperation {
  std::string Name;
  std::string Command;  // "31H", "6BH P", or what a composite operation sends
  std::vector<TValueDecl> Args;
  std::vector<TValueDecl> Outs;
  std::function<bool(TOpCall&)> Call;
};

// Every command operation, in the order of the device's declaration.
const std::vector<TOperation>& Operations();
// Null when there is none of that name (exact spelling).
const TOperation* FindOperation(std::string_view name);
std::vector<std::string> OperationNames();

// What an operation's call works with: the device, the arguments as read against
// the table and the out values it hands back. Asking for a name or a kind the
// table does not declare is a fault of the table and raises std::logic_error.
class TOpCall {
 public:
  TOpCall(const TOperation& op, TBaseDevice& dev, const TNamedValues& args)
      : Dev(dev), Op_(op), Args_(args) {}

  TBaseDevice& Dev;
  TNamedValues Outs;

  // Arguments that must be given.
  std::int32_t Int(const std::string& name) const;
  std::uint8_t UInt8(const std::string& name) const;
  std::uint16_t UInt16(const std::string& name) const;
  std::uint32_t UInt32(const std::string& name) const;
  std::int64_t Int64(const std::string& name) const;
  double Real(const std::string& name) const;
  bool Flag(const std::string& name) const;
  char Letter(const std::string& name) const;
  const std::string& Text(const std::string& name) const;
  TDateTime Date(const std::string& name) const;

  // A record field: set when the argument was given, left at the record's
  // default otherwise.
  void Take(const std::string& name, std::int32_t& field) const;
  void Take(const std::string& name, std::int64_t& field) const;
  void Take(const std::string& name, double& field) const;  // double or date
  void Take(const std::string& name, bool& field) const;
  void Take(const std::string& name, char& field) const;
  void Take(const std::string& name, std::string& field) const;

  void Out(const std::string& name, bool v);
  void Out(const std::string& name, char v);
  void Out(const std::string& name, std::int32_t v);
  void Out(const std::string& name, std::int64_t v);
  void Out(const std::string& name, double v);  // double or date
  void Out(const std::string& name, const std::string& v);
  void Out(const std::string& name, const TDataBuffer& v);
  // Name[1] .. Name[N].
  template <typename T, std::size_t N>
  void OutArray(const std::string& name, const TOneBasedArray<T, N>& values) {
    for (int i = 1; i <= values.Count(); ++i) Out(name + "[" + std::to_string(i) + "]", values[i]);
  }

 private:
  const TValueDecl& Decl(const std::vector<TValueDecl>& decls, const std::string& name,
                         std::initializer_list<TValueKind> kinds) const;
  const TValue* Given(const std::string& name, std::initializer_list<TValueKind> kinds) const;
  const TValue& Required(const std::string& name, std::initializer_list<TValueKind> kinds) const;
  void Add(const std::string& name, std::initializer_list<TValueKind> kinds, TValue v);

  const TOperation& Op_;
  const TNamedValues& Args_;
};

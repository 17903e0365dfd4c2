#include "OperationTable.h"

#include <stdexcept>

#include "OperationRows.h"

const std::vector<TOperation>& Operations() {
  static const std::vector<TOperation> kOperations = [] {
    std::vector<TOperation> ops;
    AddInfoOperations(ops);
    AddReceiptOperations(ops);
    AddProgrammingOperations(ops);
    return ops;
  }();
  return kOperations;
}

const TOperation* FindOperation(std::string_view name) {
  for (const TOperation& op : Operations()) {
    if (op.Name == name) return &op;
  }
  return nullptr;
}

std::vector<std::string> OperationNames() {
  std::vector<std::string> names;
  for (const TOperation& op : Operations()) names.push_back(op.Name);
  return names;
}

// --- TDecls

TDecls& TDecls::Add(const std::string& name, TValueKind kind) {
  Items.push_back({name, kind, false});
  return *this;
}

TDecls& TDecls::Opt(const std::string& name, TValueKind kind) {
  Items.push_back({name, kind, true});
  return *this;
}

TDecls& TDecls::Array(const std::string& name, int count, TValueKind kind) {
  for (int i = 1; i <= count; ++i) Add(name + "[" + std::to_string(i) + "]", kind);
  return *this;
}

// --- TOpCall

const TValueDecl& TOpCall::Decl(const std::vector<TValueDecl>& decls, const std::string& name,
                                std::initializer_list<TValueKind> kinds) const {
  for (const TValueDecl& s : decls) {
    if (s.Name != name) continue;
    for (TValueKind k : kinds) {
      if (s.Kind == k) return s;
    }
    throw std::logic_error(Op_.Name + ": " + name + " is declared as " +
                           std::string(KindName(s.Kind)));
  }
  throw std::logic_error(Op_.Name + ": " + name + " is not declared");
}

const TValue* TOpCall::Given(const std::string& name,
                             std::initializer_list<TValueKind> kinds) const {
  Decl(Op_.Args, name, kinds);
  for (const auto& [n, v] : Args_) {
    if (n == name) return &v;
  }
  return nullptr;
}

const TValue& TOpCall::Required(const std::string& name,
                                std::initializer_list<TValueKind> kinds) const {
  const TValue* v = Given(name, kinds);
  if (v == nullptr) throw std::logic_error(Op_.Name + ": " + name + " was not given");
  return *v;
}

std::int32_t TOpCall::Int(const std::string& name) const {
  return static_cast<std::int32_t>(Required(name, {TValueKind::Int32}).Int);
}
std::uint8_t TOpCall::UInt8(const std::string& name) const {
  return static_cast<std::uint8_t>(Required(name, {TValueKind::UInt8}).Int);
}
std::uint16_t TOpCall::UInt16(const std::string& name) const {
  return static_cast<std::uint16_t>(Required(name, {TValueKind::UInt16}).Int);
}
std::uint32_t TOpCall::UInt32(const std::string& name) const {
  return static_cast<std::uint32_t>(Required(name, {TValueKind::UInt32}).Int);
}
std::int64_t TOpCall::Int64(const std::string& name) const {
  return Required(name, {TValueKind::Int64}).Int;
}
double TOpCall::Real(const std::string& name) const {
  return Required(name, {TValueKind::Double}).Real;
}
bool TOpCall::Flag(const std::string& name) const {
  return Required(name, {TValueKind::Bool}).Int != 0;
}
char TOpCall::Letter(const std::string& name) const {
  return Required(name, {TValueKind::Letter}).Bytes.at(0);
}
const std::string& TOpCall::Text(const std::string& name) const {
  return Required(name, {TValueKind::Text}).Bytes;
}
TDateTime TOpCall::Date(const std::string& name) const {
  return Required(name, {TValueKind::Date}).Real;
}

void TOpCall::Take(const std::string& name, std::int32_t& field) const {
  if (const TValue* v = Given(name, {TValueKind::Int32})) field = static_cast<std::int32_t>(v->Int);
}
void TOpCall::Take(const std::string& name, std::int64_t& field) const {
  if (const TValue* v = Given(name, {TValueKind::Int64})) field = v->Int;
}
void TOpCall::Take(const std::string& name, double& field) const {
  if (const TValue* v = Given(name, {TValueKind::Double, TValueKind::Date})) field = v->Real;
}
void TOpCall::Take(const std::string& name, bool& field) const {
  if (const TValue* v = Given(name, {TValueKind::Bool})) field = v->Int != 0;
}
void TOpCall::Take(const std::string& name, char& field) const {
  if (const TValue* v = Given(name, {TValueKind::Letter})) field = v->Bytes.at(0);
}
void TOpCall::Take(const std::string& name, std::string& field) const {
  if (const TValue* v = Given(name, {TValueKind::Text})) field = v->Bytes;
}

void TOpCall::Add(const std::string& name, std::initializer_list<TValueKind> kinds, TValue v) {
  v.Kind = Decl(Op_.Outs, name, kinds).Kind;
  Outs.emplace_back(name, std::move(v));
}

void TOpCall::Out(const std::string& name, bool v) {
  Add(name, {TValueKind::Bool}, TValue::Flag(v));
}
void TOpCall::Out(const std::string& name, char v) {
  Add(name, {TValueKind::Letter}, TValue::Letter(v));
}
void TOpCall::Out(const std::string& name, std::int32_t v) {
  Add(name, {TValueKind::Int32}, TValue::Integer(TValueKind::Int32, v));
}
void TOpCall::Out(const std::string& name, std::int64_t v) {
  Add(name, {TValueKind::Int64}, TValue::Integer(TValueKind::Int64, v));
}
void TOpCall::Out(const std::string& name, double v) {
  Add(name, {TValueKind::Double, TValueKind::Date}, TValue::Number(v));
}
void TOpCall::Out(const std::string& name, const std::string& v) {
  Add(name, {TValueKind::Text}, TValue::Text(v));
}
void TOpCall::Out(const std::string& name, const TDataBuffer& v) {
  Add(name, {TValueKind::Bytes}, TValue::Raw(std::string(v.begin(), v.end())));
}

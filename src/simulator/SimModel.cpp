#include "SimModel.h"

#include <algorithm>
#include <utility>

#include "SimClock.h"
#include "SimCodec.h"

namespace sim {

namespace {

constexpr std::size_t kPaperLines = 2000;

void SetBit(TStatus& st, int k, int n) { st[static_cast<std::size_t>(k)] |= 1u << n; }
bool HasBit(const TStatus& st, int k, int n) { return (st[static_cast<std::size_t>(k)] >> n) & 1u; }

// Commands that put something on paper.
bool Prints(std::uint8_t cmd) {
  static constexpr std::uint8_t kPrinting[] = {0x26, 0x27, 0x2A, 0x31, 0x33, 0x34, 0x35, 0x36,
                                               0x38, 0x39, 0x3A, 0x3C, 0x45, 0x46, 0x49, 0x4F,
                                               0x54, 0x5E, 0x5F, 0x6D, 0x75, 0x76, 0x90, 0x91};
  return std::find(std::begin(kPrinting), std::end(kPrinting), cmd) != std::end(kPrinting);
}

// Commands that write to the fiscal memory: opening a fiscal receipt, Z reports.
bool WritesFm(std::uint8_t cmd, const std::string& data) {
  if (cmd == 0x90) return true;
  return (cmd == 0x45 || cmd == 0x75 || cmd == 0x76) && data == "0";
}

// Stored texts may hold control bytes that the host escaped; 0x03, NAK and
// the like cannot travel inside an answer, so they go out as blanks.
std::string AnswerText(std::string text) {
  for (char& c : text) {
    auto b = static_cast<std::uint8_t>(c);
    if (b < 0x20 && b != 0x09 && b != 0x0A) c = ' ';
  }
  return text;
}

}  // namespace

void Syntax(const std::string& why) { throw TRefusal{TRefusal::EKind::Syntax, why}; }
void Denied(const std::string& why) { throw TRefusal{TRefusal::EKind::Denied, why}; }
void Overflow(const std::string& why) { throw TRefusal{TRefusal::EKind::Overflow, why}; }

TFiscalModel::TFiscalModel() : Clock_(LocalWallClockNow) {}

std::int64_t TFiscalModel::Now() const { return Clock_() + S_.ClockOffset; }

TFiscalModel::THandler TFiscalModel::HandlerOf(std::uint8_t cmd) {
  switch (cmd) {
    case 0x26:
      return &TFiscalModel::OpenComment;
    case 0x27:
      return &TFiscalModel::CloseComment;
    case 0x2A:
      return &TFiscalModel::CommentText;
    case 0x2B:
      return &TFiscalModel::PrintOptions;
    case 0x31:
      return &TFiscalModel::Sale;
    case 0x33:
      return &TFiscalModel::Subtotal;
    case 0x34:
      return &TFiscalModel::Sale;
    case 0x35:
      return &TFiscalModel::Payment;
    case 0x36:
      return &TFiscalModel::FiscalText;
    case 0x38:
      return &TFiscalModel::CloseFiscal;
    case 0x39:
      return &TFiscalModel::ClientData;
    case 0x3A:
      return &TFiscalModel::PluSale;
    case 0x3C:
      return &TFiscalModel::VoidFiscal;
    case 0x3D:
      return &TFiscalModel::SetDateTime;
    case 0x3E:
      return &TFiscalModel::GetDateTime;
    case 0x41:
      return &TFiscalModel::GetTotals;
    case 0x42:
      return &TFiscalModel::InvoiceRange;
    case 0x44:
      return &TFiscalModel::GetFreeFm;
    case 0x45:
      return &TFiscalModel::DailyReport;
    case 0x46:
      return &TFiscalModel::CashInOut;
    case 0x49:
      return &TFiscalModel::FmReportByBlock;
    case 0x4A:
      return &TFiscalModel::GetStatus;
    case 0x4C:
      return &TFiscalModel::GetFiscalStatus;
    case 0x4F:
      return &TFiscalModel::FmReportByDate;
    case 0x53:
      return &TFiscalModel::GeneralSettings;
    case 0x54:
      return &TFiscalModel::Barcode;
    case 0x55:
      return &TFiscalModel::PayName;
    case 0x57:
      return &TFiscalModel::SetDepartmentCmd;
    case 0x58:
      return &TFiscalModel::Department;
    case 0x5A:
      return &TFiscalModel::GetDiagnostic;
    case 0x5E:
      return &TFiscalModel::FmReportByDate;
    case 0x5F:
      return &TFiscalModel::FmReportByBlock;
    case 0x61:
      return &TFiscalModel::GetVatRates;
    case 0x63:
      return &TFiscalModel::GetEik;
    case 0x66:
      return &TFiscalModel::SetOperatorCmd;
    case 0x67:
      return &TFiscalModel::GetLastReceipt;
    case 0x6B:
      return &TFiscalModel::Plu;
    case 0x6D:
      return &TFiscalModel::Duplicate;
    case 0x6E:
      return &TFiscalModel::GetPayTotals;
    case 0x71:
      return &TFiscalModel::GetLastDoc;
    case 0x75:
      return &TFiscalModel::DailyReport;
    case 0x76:
      return &TFiscalModel::DailyReport;
    case 0x90:
      return &TFiscalModel::OpenFiscal;
    case 0x91:
      return &TFiscalModel::DiscountLast;
    default:
      return nullptr;
  }
}

bool TFiscalModel::IsKnownCommand(std::uint8_t cmd) { return HandlerOf(cmd) != nullptr; }

TStatus TFiscalModel::StateStatus() const {
  TStatus st;
  st.fill(0x80);
  if (S_.FiscalOpen()) SetBit(st, 2, 3);
  if (S_.CommentOpen()) SetBit(st, 2, 5);
  int free = S_.FreeFmRecords();
  if (free == 0) SetBit(st, 4, 4);
  if (free > 0 && free < 50) SetBit(st, 4, 3);
  SetBit(st, 4, 1);  // identification code set
  SetBit(st, 4, 2);  // serial and fiscal memory numbers set
  SetBit(st, 5, 1);  // fiscal memory formatted
  SetBit(st, 5, 3);  // fiscal mode
  return st;
}

bool TFiscalModel::Blocked(std::uint8_t cmd, const std::string& data, const TStatus& forced) const {
  bool cannotPrint = HasBit(forced, 2, 0) || HasBit(forced, 0, 4) || HasBit(forced, 0, 6);
  bool fmFault = HasBit(forced, 4, 0) || HasBit(forced, 4, 4) || HasBit(forced, 5, 0);
  return (cannotPrint && Prints(cmd)) || (fmFault && WritesFm(cmd, data));
}

TModelAnswer TFiscalModel::Execute(std::uint8_t cmd, const std::string& rawData,
                                   const TStatus& forced) {
  TModelAnswer a;
  THandler handler = HandlerOf(cmd);
  if (!handler) {
    a.Status = StateStatus();
    SetBit(a.Status, 0, 1);
    return a;
  }
  const std::string data = Unescape(rawData);
  if (Blocked(cmd, data, forced)) {
    a.Status = StateStatus();
    return a;
  }
  TSimState backup = S_;
  Printed_ = 0;
  WorkMs_ = 0;
  Cmd_ = cmd;
  try {
    a.Data = AnswerText((this->*handler)(data));
    a.Executed = true;
    a.WorkMs = WorkMs_;
  } catch (const TRefusal& r) {
    S_ = std::move(backup);
    for (; Printed_ > 0 && !Paper_.empty(); --Printed_) Paper_.pop_back();
    a.Data = r.Text.empty() ? std::string() : "E:" + r.Text;
    a.Status = StateStatus();
    if (r.Kind == TRefusal::EKind::Syntax) SetBit(a.Status, 0, 0);
    if (r.Kind == TRefusal::EKind::Denied) SetBit(a.Status, 1, 1);
    if (r.Kind == TRefusal::EKind::Overflow) SetBit(a.Status, 1, 0);
    return a;
  }
  a.Status = StateStatus();
  return a;
}

void TFiscalModel::Count(std::int64_t& counter) {
  if (counter >= kMaxCounter) Overflow("COUNTER");
  ++counter;
}

// Both values are within the limits, so the sum itself cannot overflow.
void TFiscalModel::AddTo(std::int64_t& reg, std::int64_t value, const char* what) {
  const std::int64_t sum = reg + value;
  if (sum > kMaxRegister || sum < -kMaxRegister) Overflow(what);
  reg = sum;
}

void TFiscalModel::AddLine(const TSimLine& line) {
  if (S_.Receipt.Lines.size() >= kMaxReceiptLines) Overflow("RECEIPT FULL");
  S_.Receipt.Lines.push_back(line);
}

void TFiscalModel::RequireNoReceipt() const {
  if (S_.FiscalOpen()) Denied("FISCAL RECEIPT OPEN");
  if (S_.CommentOpen()) Denied("COMMENT RECEIPT OPEN");
}

void TFiscalModel::RequireFiscal() const {
  if (!S_.FiscalOpen()) Denied("NO FISCAL RECEIPT OPEN");
}

void TFiscalModel::RequireNoPayment() const {
  if (S_.Receipt.PaidTotal() != 0) Denied("PAYMENT STARTED");
}

void TFiscalModel::Print(const std::string& line) {
  Paper_.push_back(line);
  ++Printed_;
  while (Paper_.size() > kPaperLines) Paper_.pop_front();
}

void TFiscalModel::PrintHeader() {
  for (int i = 0; i < 6; ++i) {
    if (!S_.Lines[static_cast<std::size_t>(i)].empty())
      Print(S_.Lines[static_cast<std::size_t>(i)]);
  }
}

}  // namespace sim

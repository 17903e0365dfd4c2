// The one device object, connecting before each command, and the frame of work.
#include <exception>

#include "BusyCursor.h"
#include "DeviceText.h"
#include "InfoRecords.h"
#include "LogMemo.h"
#include "RS232DeviceUnit.h"
#include "StatusDecoding.h"
#include "TCPDeviceUnit.h"
#include "uMain.h"
#include "uPrintData.h"

namespace {

const char* const kDeviceRefused = "The device refused the command.";
const char* const kNoConnection = "The connection to the device could not be opened.";
const char* const kNoErrorText = "The command was not completed.";

std::unique_ptr<TBaseDevice> MakeTransport(const TConnectionSettings& c) {
  if (c.UseTCP) return std::make_unique<TTCPDevice>();
  return std::make_unique<TRS32Device>();
}

// "COM" + number, unless the operator picked a device path.
std::string SerialPortName(const TConnectionSettings& c) {
  if (!c.PortPath.trimmed().isEmpty()) return c.PortPath.trimmed().toStdString();
  return "COM" + std::to_string(c.PortNo);
}

}  // namespace

void TMainForm::CreateDevice() {
  if (Device) {
    if (Device->IsConnected()) Device->Disconnect();
    Device.reset();
  }
  const TConnectionSettings& c = Settings.Connection;
  Device = DeviceFactory ? DeviceFactory(c) : MakeTransport(c);
  if (!c.UseTCP) DeviceSerialNo.clear();
  ApplyLinkParameters();

  Device->OnFrameSent = [this](const std::string& text) { SentRaw += text; };
  Device->OnByteReceived = [this](const std::string& text) { ReceivedRaw += text; };
  Device->OnControlByte = [this](const std::string& text) { OnControlByte(text); };
  Device->OnDuration = [](const std::string&) {};
  Device->OnTraceLine = [this](const std::string& text) { AddLogLine(DevText(text)); };
}

void TMainForm::ApplyLinkParameters() {
  const TConnectionSettings& c = Settings.Connection;
  if (auto* tcp = dynamic_cast<TTCPDevice*>(Device.get())) {
    tcp->SetHost(c.IPAddress.toStdString());
    tcp->SetPort(c.TCPPort.toStdString());
  } else if (auto* serial = dynamic_cast<TRS32Device*>(Device.get())) {
    serial->SetPortName(SerialPortName(c));
    serial->SetBaudRate(c.BaudNo.toStdString());
  }
}

// Busy and refusal bytes show at once, while the command still runs.
void TMainForm::OnControlByte(const std::string& byte) {
  const TLogOptions o = LogOptions();
  if (byte.empty() || !(o.Raw && o.Hex && o.Detailed)) return;
  const auto b = static_cast<unsigned char>(byte[0]);
  if (b == 0x15) {
    AddLogText(QStringLiteral("[NAK]"), lsPlain, ELogColour::Red);
  } else if (b == 0x16) {
    AddLogText(QStringLiteral("[SYN]"), lsPlain, ELogColour::Grey);
  } else {
    return;
  }
  StatusMemo->viewport()->repaint();
}

void TMainForm::EnsureConnected() {
  if (!Device) CreateDevice();
  ApplyLinkParameters();
  if (!Device->IsConnected() && !Device->Connect()) {
    throw ESilentAbort(Device->LastErrorText.empty() ? kNoConnection : Device->LastErrorText);
  }
  if (DeviceSerialNo.empty()) {
    TDiagnosticInfo info;
    RequireDevice(Device->GetDiagnosticInfo(true, info));
    DeviceSerialNo = info.SerialNumber;
    SetStatusPanelText(2, DevText(info.PrinterName + ", [" + info.SerialNumber + " " +
                                  info.ProgramRevision + "]"));
    DeviceFMNo = info.FiscalNumber;
  }
  SentRaw.clear();
  ReceivedRaw.clear();
}

// Some operations return false without a text when the device refuses ("F");
// that must not read as success. A transport failure may leave only its code.
void TMainForm::RequireDevice(bool ok) {
  if (ok) return;
  if (!Device->LastErrorText.empty()) throw ESilentAbort(Device->LastErrorText);
  const std::int32_t code = Device->LastErrorCode;
  if (code != 0 && !ErrorMessage(code).empty()) throw ESilentAbort(ErrorMessage(code));
  std::string text = kDeviceRefused;
  if (code != 0) text += " (" + std::to_string(code) + ")";
  throw ESilentAbort(text);
}

namespace {

// Runs `steps`; any exception's message becomes `error`. True when they completed.
template <typename F>
bool Guarded(F&& steps, std::string& error) {
  try {
    steps();
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    if (error.empty()) error = kNoErrorText;
  } catch (...) {
    error = kNoErrorText;
  }
  return false;
}

}  // namespace

bool TMainForm::RunCommand(const QString& title, const TCommandAction& action,
                           const TInputCheck& checkInput) {
  TBusyCursor busy;
  std::string result;
  std::string error;
  const bool done = Guarded(
      [&] {
        if (checkInput) checkInput();
        EnsureConnected();
        result = action();
      },
      error);
  try {
    if (Device && Device->IsConnected()) Device->Disconnect();
  } catch (const std::exception&) {
    // The block below is written whatever the link does.
  }
  LogResult(title, DevText(result), DevText(error));
  return done;
}

bool TMainForm::RunStep(const QString& title, const TCommandAction& action) {
  TBusyCursor busy;
  std::string result;
  std::string error;
  const bool done = Guarded([&] { result = action(); }, error);
  LogResult(title, DevText(result), DevText(error));
  return done;
}

#include "SettingsStore.h"

// Values are UTF-8 as they stand; QString checks them.
#define SI_NO_CONVERSION
// Debian keeps the template bodies behind this switch; compile them here.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <string>

#include "Cp1251.h"
#include "RegionalSettings.h"

namespace {

constexpr const char* kComm = "Communication";
constexpr const char* kOper = "Operator";
constexpr const char* kOpts = "Options";
constexpr const char* kWindow = "MAIN WINDOW";

// Loads the file when it exists; a missing or unreadable file leaves it empty.
void LoadIni(const QString& path, CSimpleIniA& ini) {
  ini.SetUnicode(true);
  ini.SetSpaces(false);  // key=value, as profile files have it
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  ini.LoadData(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Values are written as UTF-8; a file written by the Windows program holds CP1251
// bytes, which are not valid UTF-8 as soon as a Cyrillic letter appears.
QString Text(const CSimpleIniA& ini, const char* section, const char* key, const QString& def) {
  const char* v = ini.GetValue(section, key, nullptr);
  if (!v) return def;
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(QByteArrayView(v));
  return utf8.hasError() ? QString::fromStdString(Cp1251ToUtf8(v)) : text;
}

int Int(const CSimpleIniA& ini, const char* section, const char* key, int def) {
  const char* v = ini.GetValue(section, key, nullptr);
  std::int32_t n = 0;
  return v && TryParseInt32(v, n) ? n : def;
}

// Any integer but 0 is true, as the profile readers have always taken it.
bool Bool(const CSimpleIniA& ini, const char* section, const char* key, bool def) {
  const char* v = ini.GetValue(section, key, nullptr);
  std::int32_t n = 0;
  return v && TryParseInt32(v, n) ? n != 0 : def;
}

void Put(CSimpleIniA& ini, const char* section, const char* key, const QString& value) {
  ini.SetValue(section, key, value.toUtf8().constData());
}
void Put(CSimpleIniA& ini, const char* section, const char* key, int value) {
  ini.SetValue(section, key, IntToStr(value).c_str());
}
void PutBool(CSimpleIniA& ini, const char* section, const char* key, bool value) {
  ini.SetValue(section, key, value ? "1" : "0");
}

bool SaveIni(const QString& path, CSimpleIniA& ini, QString* error) {
  std::string text;
  if (ini.Save(text) < 0) {
    if (error) *error = QStringLiteral("Cannot compose the INI text.");
    return false;
  }
  const QString dir = QFileInfo(path).absolutePath();
  if (!QDir().mkpath(dir)) {
    if (error) *error = QStringLiteral("Cannot create the folder %1.").arg(dir);
    return false;
  }
  return WriteFileReplacing(path, QByteArray::fromStdString(text), error);
}

template <std::size_t N>
QString JoinInts(const int (&v)[N]) {
  QStringList parts;
  for (int n : v) parts << QString::number(n);
  return parts.join(QLatin1Char(','));
}

// All N integers or nothing.
template <std::size_t N>
bool ParseInts(const QString& text, int (&v)[N]) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != static_cast<qsizetype>(N)) return false;
  int out[N];
  for (std::size_t i = 0; i < N; ++i) {
    std::int32_t n = 0;
    if (!TryParseInt32(parts[static_cast<qsizetype>(i)].trimmed().toStdString(), n)) return false;
    out[i] = n;
  }
  std::copy(std::begin(out), std::end(out), std::begin(v));
  return true;
}

}  // namespace

TConsoleSettings LoadSettingsFile(const QString& path) {
  CSimpleIniA ini;
  LoadIni(path, ini);
  TConsoleSettings s;
  TConnectionSettings& c = s.Connection;
  c.PortNo = Int(ini, kComm, "PortNo", c.PortNo);
  c.BaudNo = Text(ini, kComm, "BaudNo", c.BaudNo);
  c.IPAddress = Text(ini, kComm, "IP_Address", c.IPAddress);
  c.TCPPort = Text(ini, kComm, "TCP_port", c.TCPPort);
  c.UseTCP = Bool(ini, kComm, "UseTCP", c.UseTCP);
  c.PortPath = Text(ini, kComm, "PortPath", c.PortPath);
  s.OperatorNo = Int(ini, kOper, "nom", s.OperatorNo);
  s.OperatorPassword = Text(ini, kOper, "pass", s.OperatorPassword);
  s.POSNo = Int(ini, kOper, "POSNo", s.POSNo);
  s.OperatorName = Text(ini, kOper, "eOpName", s.OperatorName);
  s.ShowHex = Bool(ini, kOpts, "ShowHex", s.ShowHex);
  s.ShowDetailed = Bool(ini, kOpts, "ShowDetailed", s.ShowDetailed);
  s.ShowRaw = Bool(ini, kOpts, "ShowRaw", s.ShowRaw);
  s.ShowStatus = Bool(ini, kOpts, "ShowStatus", s.ShowStatus);
  s.FontSize = Int(ini, kOpts, "FontSize", s.FontSize);
  s.FMIN = Text(ini, kOpts, "Set_FMIN", s.FMIN);
  s.LastUNP = Text(ini, kOpts, "Set_LastUNP", s.LastUNP);
  return s;
}

bool SaveSettingsFile(const QString& path, const TConsoleSettings& s, QString* error) {
  CSimpleIniA ini;
  LoadIni(path, ini);
  const TConnectionSettings& c = s.Connection;
  Put(ini, kComm, "PortNo", c.PortNo);
  Put(ini, kComm, "BaudNo", c.BaudNo);
  Put(ini, kComm, "IP_Address", c.IPAddress);
  Put(ini, kComm, "TCP_port", c.TCPPort);
  PutBool(ini, kComm, "UseTCP", c.UseTCP);
  Put(ini, kComm, "PortPath", c.PortPath);
  Put(ini, kOper, "nom", s.OperatorNo);
  Put(ini, kOper, "pass", s.OperatorPassword.trimmed());
  Put(ini, kOper, "POSNo", s.POSNo);
  Put(ini, kOper, "eOpName", s.OperatorName);
  PutBool(ini, kOpts, "ShowHex", s.ShowHex);
  PutBool(ini, kOpts, "ShowDetailed", s.ShowDetailed);
  PutBool(ini, kOpts, "ShowRaw", s.ShowRaw);
  PutBool(ini, kOpts, "ShowStatus", s.ShowStatus);
  Put(ini, kOpts, "FontSize", s.FontSize);
  Put(ini, kOpts, "Set_FMIN", s.FMIN);
  Put(ini, kOpts, "Set_LastUNP", s.LastUNP);
  return SaveIni(path, ini, error);
}

bool LoadPlacementFile(const QString& path, TWindowPlacement& p) {
  CSimpleIniA ini;
  LoadIni(path, ini);
  if (ini.GetSectionSize(kWindow) <= 0) return false;
  TWindowPlacement r;
  r.Flags = Int(ini, kWindow, "Flags", r.Flags);
  r.ShowCmd = Int(ini, kWindow, "ShowCmd", r.ShowCmd);
  r.PixelsPerInch = Int(ini, kWindow, "PixelsPerInch", r.PixelsPerInch);
  ParseInts(Text(ini, kWindow, "MinMaxPos", QString()), r.MinMaxPos);
  if (!ParseInts(Text(ini, kWindow, "NormPos", QString()), r.NormPos)) return false;
  ParseInts(Text(ini, kWindow, "Splitter", QString()), r.Splitter);
  p = r;
  return true;
}

bool SavePlacementFile(const QString& path, const TWindowPlacement& p, QString* error) {
  CSimpleIniA ini;
  LoadIni(path, ini);
  Put(ini, kWindow, "Flags", p.Flags);
  Put(ini, kWindow, "ShowCmd", p.ShowCmd);
  Put(ini, kWindow, "PixelsPerInch", p.PixelsPerInch);
  Put(ini, kWindow, "MinMaxPos", JoinInts(p.MinMaxPos));
  Put(ini, kWindow, "NormPos", JoinInts(p.NormPos));
  Put(ini, kWindow, "Splitter", JoinInts(p.Splitter));
  return SaveIni(path, ini, error);
}

QString IniPathFor(const QString& programPath, const QString& configDir, bool iniBeside,
                   bool folderWritable) {
  const QFileInfo program(programPath);
  const QString folder = QDir::cleanPath(program.absolutePath());
  static const QStringList systemRoots = {QStringLiteral("/usr"), QStringLiteral("/bin"),
                                          QStringLiteral("/sbin"), QStringLiteral("/opt"),
                                          QStringLiteral("/snap")};
  const bool installed = std::any_of(systemRoots.begin(), systemRoots.end(), [&](const QString& r) {
    return folder == r || folder.startsWith(r + QLatin1Char('/'));
  });
  if (!installed && (iniBeside || folderWritable)) {
    return folder + QLatin1Char('/') + program.completeBaseName() + QStringLiteral(".ini");
  }
  return configDir + QStringLiteral("/fprtest/fprtest.ini");
}

QString DefaultIniPath(const QString& programPath, const QString& configDir) {
  const QFileInfo program(programPath);
  const QFileInfo folder(program.absolutePath());
  const QFileInfo beside(program.absolutePath() + QLatin1Char('/') + program.completeBaseName() +
                         QStringLiteral(".ini"));
  return IniPathFor(programPath, configDir, beside.isFile(), folder.isDir() && folder.isWritable());
}

QString DefaultPlacementPath(const QString& programPath, const QString& configDir) {
  return configDir + QLatin1Char('/') + QFileInfo(programPath).completeBaseName() +
         QStringLiteral(".INI");
}

TConsolePaths DefaultConsolePaths() {
  const QString program = QCoreApplication::applicationFilePath();
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return {DefaultIniPath(program, config), DefaultPlacementPath(program, config)};
}

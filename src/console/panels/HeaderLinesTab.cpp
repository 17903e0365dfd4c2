#include "HeaderLinesTab.h"

#include <exception>

#include "BusyCursor.h"
#include "DeviceText.h"
#include "uMain.h"
#include "ui_HeaderLinesTab.h"

namespace {

const char* const kNoLink = "The connection to the device could not be opened.";

QString SetTitle(int line) { return QStringLiteral("Set header row(2BH).%1").arg(line); }
QString GetTitle(int line) { return QStringLiteral("Get header row(2BH). Row:%1").arg(line); }
// Lines are numbered from 0; their labels from 1.
QString LineName(int line) { return QStringLiteral("Line %1").arg(line + 1); }

}  // namespace

THeaderLinesTab::THeaderLinesTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::HeaderLinesTab) {
  ui->setupUi(this);
  connect(ui->btnSetHeader, &QPushButton::clicked, this, &THeaderLinesTab::btnSetHeaderClick);
  connect(ui->btnSetFooterLines, &QPushButton::clicked, this,
          &THeaderLinesTab::btnSetFooterLinesClick);
  connect(ui->btnLoadHeder, &QPushButton::clicked, this, &THeaderLinesTab::btnLoadHederClick);
  connect(ui->btnLoadFootetLines, &QPushButton::clicked, this,
          &THeaderLinesTab::btnLoadFootetLinesClick);
}

THeaderLinesTab::~THeaderLinesTab() { delete ui; }

QList<QLineEdit*> THeaderLinesTab::HeaderEdits() const {
  return {ui->edtLine1,    ui->c3Line2Edit, ui->c3Line3Edit,
          ui->c3Line4Edit, ui->c3Line5Edit, ui->c3Line6Edit};
}

QList<QLineEdit*> THeaderLinesTab::FooterEdits() const {
  return {ui->c3Line7Edit, ui->c3Line8Edit};
}

void THeaderLinesTab::btnSetHeaderClick() { SetLines(0, HeaderEdits()); }

void THeaderLinesTab::btnSetFooterLinesClick() { SetLines(6, FooterEdits()); }

void THeaderLinesTab::btnLoadHederClick() {
  RunLines(0, HeaderEdits(), &THeaderLinesTab::ReadHeaderLineToEdit, GetTitle(0));
}

void THeaderLinesTab::btnLoadFootetLinesClick() {
  RunLines(6, FooterEdits(), &THeaderLinesTab::ReadHeaderLineToEdit, GetTitle(6));
}

bool THeaderLinesTab::ReadHeaderLineToEdit(int Line, QLineEdit* Edit) {
  return Main.RunStep(GetTitle(Line), [&] {
    std::string text;
    Main.RequireDevice(Device().GetHeaderLine(Line, text));
    Edit->setText(DevText(text));
    return text;
  });
}

// The text goes as typed, blanks included; the device library keeps its first 36 characters.
bool THeaderLinesTab::SetHeaderLineFromEdit(int Line, QLineEdit* Edit) {
  return Main.RunStep(SetTitle(Line), [&] {
    const std::string text = ToDeviceText(Edit->text(), LineName(Line));
    Main.RequireDevice(Device().SetHeaderLine(static_cast<std::uint16_t>(Line), text));
    return std::string();
  });
}

void THeaderLinesTab::SetLines(int firstLine, const QList<QLineEdit*>& edits) {
  RunLines(firstLine, edits, &THeaderLinesTab::SetHeaderLineFromEdit, SetTitle(firstLine),
           &THeaderLinesTab::AllLinesFit);
}

// A line the device cannot take refuses the whole group before the first line
// is sent, so that no line of it is changed.
bool THeaderLinesTab::AllLinesFit(int firstLine, const QList<QLineEdit*>& edits) {
  for (int i = 0; i < edits.size(); ++i) {
    try {
      ToDeviceText(edits[i]->text(), LineName(firstLine + i));
    } catch (const EInputError& e) {
      Main.LogResult(SetTitle(firstLine + i), QString(), DevText(e.what()));
      return false;
    }
  }
  return true;
}

// One link for the whole group, opened first; the lines after the first failing
// one are not sent.
void THeaderLinesTab::RunLines(int firstLine, const QList<QLineEdit*>& edits, TLineStep step,
                               const QString& firstTitle, TLinesCheck check) {
  TBusyCursor busy;
  if (!OpenLink(firstTitle)) return;
  if (!check || (this->*check)(firstLine, edits)) {
    for (int i = 0; i < edits.size(); ++i) {
      if (!(this->*step)(firstLine + i, edits[i])) break;
    }
  }
  CloseLink();
}

// A link that cannot be opened is logged under the first line's title: a
// silent end would look as if the click did nothing.
bool THeaderLinesTab::OpenLink(const QString& title) {
  std::string error;
  try {
    Main.EnsureConnected();
    return true;
  } catch (const std::exception& e) {
    error = e.what();
  }
  if (error.empty()) error = kNoLink;
  CloseLink();
  Main.LogResult(title, QString(), DevText(error));
  return false;
}

void THeaderLinesTab::CloseLink() {
  try {
    if (Main.Device && Main.Device->IsConnected()) Main.Device->Disconnect();
  } catch (const std::exception&) {
    // Nothing more can be done about a link that fails to close.
  }
}

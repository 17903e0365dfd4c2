// The "Manual command" page: any command code with any parameter text.
#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSizePolicy>

#include "DeviceText.h"
#include "uMain.h"
#include "ui_ManualCommandTab.h"

namespace {

// Letters become capitals as they are typed; text put in by the program stays.
void UpperCaseAsTyped(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int pos = edit->cursorPosition();
    edit->setText(upper);
    edit->setCursorPosition(pos);
  });
}

QAction* AddSpecItem(QMenu* menu, const char* name, const QString& caption, int tag) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QLatin1String(name));
  a->setData(tag);
  return a;
}

}  // namespace

void TMainForm::BuildManualCommandPage() {
  ManualUi = new Ui::ManualCommandTab;
  ManualUi->setupUi(TS_Command);
  // A long hexadecimal view has no blanks to wrap at; it must not widen the window.
  ManualUi->lblBufAsHex->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* mnSpecSymbol = new QMenu(TS_Command);
  mnSpecSymbol->setObjectName(QStringLiteral("mnSpecSymbol"));
  QAction* lineFeed = AddSpecItem(mnSpecSymbol, "mnLineFeed", QStringLiteral("Line feed (0AH)"), 1);
  QAction* tab = AddSpecItem(mnSpecSymbol, "AB09H1", QStringLiteral("TAB (09H)"), 2);
  QAction* user = AddSpecItem(mnSpecSymbol, "mnUserSpec", QStringLiteral("User specified "), 0);
  ManualUi->btnAddSpecChar->setMenu(mnSpecSymbol);
  connect(lineFeed, &QAction::triggered, this, &TMainForm::mnLineFeedClick);
  connect(tab, &QAction::triggered, this, &TMainForm::mnLineFeedClick);
  connect(user, &QAction::triggered, this, &TMainForm::mnUserSpecClick);

  UpperCaseAsTyped(ManualUi->eCommand);
  UpperCaseAsTyped(ManualUi->edtParams);
  connect(ManualUi->edtParams, &QLineEdit::textChanged, this, &TMainForm::edtParamsChange);
  connect(ManualUi->bCommand, &QPushButton::clicked, this, &TMainForm::bCommandClick);

  AskHexCode = [this](QString& answer) {
    bool ok = false;
    answer = QInputDialog::getText(this, QStringLiteral("ASCII symbol"),
                                   QStringLiteral("Enter HEX code of ASCII symbol."),
                                   QLineEdit::Normal, QString(), &ok);
    return ok;
  };
}

void TMainForm::bCommandClick() {
  std::uint32_t code = 0;
  std::string params;
  const auto checkInput = [&] {
    if (!ReadHexCode(ManualUi->eCommand->text(), code)) {
      throw EInputError("Invalid value for command.");
    }
    params = ToDeviceText(ManualUi->edtParams->text(), QStringLiteral("Command parameters"));
  };
  const auto action = [&] {
    const auto cmd = static_cast<std::uint8_t>(code & 0xFF);
    RequireDevice(Device->ExecuteCommand(cmd, params));
    return QStringLiteral("%1H").arg(cmd, 2, 16, QLatin1Char('0')).toUpper().toStdString();
  };
  RunCommand(QStringLiteral("Manual command."), action, checkInput);
}

void TMainForm::edtParamsChange() {
  ManualUi->lblBufAsHex->setText(HexOfText(ManualUi->edtParams->text()));
}

// Line feed and tab; the item's tag tells which.
void TMainForm::mnLineFeedClick() {
  const auto* item = qobject_cast<QAction*>(sender());
  const int tag = item ? item->data().toInt() : 1;
  InsertIntoParams(tag == 2 ? QStringLiteral("\t") : QStringLiteral("\n"));
  ManualUi->edtParams->setFocus();
}

void TMainForm::mnUserSpecClick() {
  QString answer;
  if (!AskHexCode(answer)) return;
  answer = answer.trimmed();
  std::uint32_t code = 0;
  // Only the first two characters count; an unreadable code is ignored.
  if (!answer.isEmpty() && ReadHexCode(answer.left(2).trimmed(), code)) {
    InsertIntoParams(CharOfCode(static_cast<std::uint8_t>(code & 0xFF)));
  }
  QLineEdit* edit = ManualUi->edtParams;
  edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

void TMainForm::InsertIntoParams(const QString& ch) {
  QLineEdit* edit = ManualUi->edtParams;
  QString text = edit->text();
  if (text.isEmpty()) {
    text = ch;
  } else {
    text.insert(edit->cursorPosition(), ch);
  }
  edit->setText(text);
  edit->setCursorPosition(static_cast<int>(text.size()));
}

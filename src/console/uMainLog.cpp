// The log pane, its result block and its pop-up menu.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>

#include "Cp1251.h"
#include "FileReplace.h"
#include "LogFindBar.h"
#include "LogMemo.h"
#include "SettingsStore.h"
#include "uMain.h"

namespace {

QAction* AddCheckItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QLatin1String(name));
  a->setCheckable(true);
  return a;
}

// Gives the focus back to the control that had it before the log was written.
class TFocusKeeper {
 public:
  TFocusKeeper() : Focus_(QApplication::focusWidget()) {}
  ~TFocusKeeper() {
    if (Focus_ && QApplication::focusWidget() != Focus_) Focus_->setFocus();
  }

 private:
  QWidget* Focus_;
};

}  // namespace

void TMainForm::BuildLog() {
  StatusMemo = new TLogMemo(this);
  StatusMemo->setObjectName(QStringLiteral("StatusMemo"));
  StatusMemo->setContextMenuPolicy(Qt::CustomContextMenu);
  LogPane = new QWidget(this);
  LogPane->setObjectName(QStringLiteral("LogPane"));
  FindBar = new TLogFindBar(StatusMemo, LogPane);
  auto* column = new QVBoxLayout(LogPane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(FindBar);
  column->addWidget(StatusMemo, 1);

  MemoPopup = new QMenu(this);
  MemoPopup->setObjectName(QStringLiteral("MemoPopup"));
  MemoPopup->addAction(QStringLiteral("Copy"), this, &TMainForm::Copy1Click)
      ->setObjectName(QStringLiteral("Copy1"));
  MemoPopup->addAction(QStringLiteral("Clear"), this, &TMainForm::Clear1Click)
      ->setObjectName(QStringLiteral("Clear1"));
  MemoPopup->addAction(QStringLiteral("Select all"), this, &TMainForm::SelectAll1Click)
      ->setObjectName(QStringLiteral("SelectAll1"));
  MemoPopup->addAction(QStringLiteral("Save to file"), this, &TMainForm::SaveToFile1Click)
      ->setObjectName(QStringLiteral("SaveToFile1"));
  BuildFindActions();
  MemoPopup->addSeparator();
  QMenu* font = MemoPopup->addMenu(QStringLiteral("Font size"));
  font->setObjectName(QStringLiteral("FontSize1"));
  font->addAction(QStringLiteral("Increase"), this, &TMainForm::IncreaseFontClick)
      ->setObjectName(QStringLiteral("Increase1"));
  font->addAction(QStringLiteral("Decrease"), this, &TMainForm::DecreaseFontClick)
      ->setObjectName(QStringLiteral("Decrease1"));
  font->addAction(QStringLiteral("Reset"), this, &TMainForm::ResetFontClick)
      ->setObjectName(QStringLiteral("Reset1"));
  QMenu* options = MemoPopup->addMenu(QStringLiteral("Show options"));
  options->setObjectName(QStringLiteral("ShowOptions1"));
  HEX1 = AddCheckItem(options, "HEX1", QStringLiteral("HEX"));
  chDetailed = AddCheckItem(options, "chDetailed", QStringLiteral("Detailed"));
  cbRaw = AddCheckItem(options, "cbRaw", QStringLiteral("Raw"));
  cbStatusAsString =
      AddCheckItem(options, "cbStatusAsString", QStringLiteral("Show ECR status on end"));

  connect(StatusMemo, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { MemoPopup->exec(StatusMemo->viewport()->mapToGlobal(pos)); });
}

// Ctrl+F, F3 and Shift+F3 work wherever the focus is in the window.
void TMainForm::BuildFindActions() {
  Find1 = MemoPopup->addAction(QStringLiteral("Find..."), this, &TMainForm::Find1Click);
  Find1->setObjectName(QStringLiteral("Find1"));
  Find1->setShortcut(QKeySequence::Find);
  addAction(Find1);
  QAction* next = new QAction(QStringLiteral("Find next"), this);
  next->setObjectName(QStringLiteral("FindNext1"));
  next->setShortcut(QKeySequence(Qt::Key_F3));
  connect(next, &QAction::triggered, FindBar, &TLogFindBar::FindNext);
  QAction* previous = new QAction(QStringLiteral("Find previous"), this);
  previous->setObjectName(QStringLiteral("FindPrevious1"));
  previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  connect(previous, &QAction::triggered, FindBar, &TLogFindBar::FindPrevious);
  addActions({next, previous});
}

void TMainForm::Find1Click() { FindBar->Open(); }

TLogOptions TMainForm::LogOptions() const {
  return {HEX1->isChecked(), chDetailed->isChecked(), cbRaw->isChecked(),
          cbStatusAsString->isChecked()};
}

void TMainForm::AddLogLine(const QString& text) {
  TFocusKeeper focus;
  StatusMemo->AppendLine({text, lsPlain, ELogColour::WindowText});
}

void TMainForm::AddLogText(const QString& text, unsigned style, ELogColour colour) {
  TFocusKeeper focus;
  std::vector<TLogLine> lines;
  for (const QString& line : SplitLogLines(text)) lines.push_back({line, style, colour});
  StatusMemo->AppendLines(lines);  // announced as one insertion
}

void TMainForm::LogResult(const QString& title, const QString& resultText,
                          const QString& errorText) {
  TResultBlock block;
  block.Title = title;
  block.Duration = Device ? Device->Duration : 0;
  block.Result = resultText;
  block.Error = errorText;
  block.SentRaw = SentRaw;
  block.ReceivedRaw = ReceivedRaw;
  block.Options = LogOptions();
  TFocusKeeper focus;
  StatusMemo->AppendLines(ComposeResultBlock(block));
  SentRaw.clear();
  ReceivedRaw.clear();
}

void TMainForm::Copy1Click() { StatusMemo->copy(); }

void TMainForm::Clear1Click() { StatusMemo->ClearLog(); }

void TMainForm::SelectAll1Click() { StatusMemo->selectAll(); }

void TMainForm::SaveToFile1Click() {
  const QString path = AskSaveFileName();
  if (path.isEmpty()) return;
  QString error;
  if (!SaveLogTo(path, &error)) {
    ShowError(QStringLiteral("The log was not saved to %1: %2 Nothing was written there; a file "
                             "that was there is unchanged.")
                  .arg(path, error));
  }
}

namespace {

// CP1251; a character the code page lacks becomes '?'.
std::string LogLineToCp1251(const QString& line) {
  std::string out;
  if (Utf8ToCp1251(line.toStdString(), out)) return out;
  out.clear();
  for (const QChar ch : line) {
    std::string one;
    out += Utf8ToCp1251(QString(ch).toStdString(), one) && one.size() == 1 ? one : "?";
  }
  return out;
}

}  // namespace

// Every line followed by CR LF.
bool TMainForm::SaveLogTo(const QString& path, QString* error) const {
  const TLogLines& lines = StatusMemo->Store();
  QByteArray bytes;
  for (std::size_t i = 0; i < lines.Count(); ++i) {
    const std::string line = LogLineToCp1251(lines.Text(i));
    bytes.append(line.data(), static_cast<qsizetype>(line.size()));
    bytes.append("\r\n");
  }
  if (SaveFileCalls) return WriteFileReplacing(path, bytes, error, *SaveFileCalls);
  return WriteFileReplacing(path, bytes, error);
}

void TMainForm::IncreaseFontClick() {
  StatusMemo->SetLogFontSize(StatusMemo->LogFont().pointSize() + 1);
  AfterFontChange();
}

void TMainForm::DecreaseFontClick() {
  StatusMemo->SetLogFontSize(StatusMemo->LogFont().pointSize() - 1);
  AfterFontChange();
}

// All text, and every line written after, in the default size.
void TMainForm::ResetFontClick() {
  StatusMemo->SetLogFontSize(kDefaultLogFontSize);
  AfterFontChange();
}

void TMainForm::AfterFontChange() {
  TFocusKeeper focus;
  StatusMemo->MoveCaretToEnd();
}

void TMainForm::InstallDialogHooks() {
  AskSaveFileName = [this]() {
    QFileDialog dialog(this, QStringLiteral("Select file name"), QString(),
                       QStringLiteral("Text (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  ShowError = [this](const QString& text) {
    QMessageBox::critical(this, windowTitle(), text, QMessageBox::Ok);
  };
}

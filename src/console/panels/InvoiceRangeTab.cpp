#include "InvoiceRangeTab.h"

#include "DeviceText.h"
#include "uMain.h"
#include "ui_InvoiceRangeTab.h"

namespace {

const char* const kTitle = "Set invoice range(42H)";

// "Start inv.nom.: %10.10d" CR "End inv.nom.: %10.10d"
std::string RangeLines(std::int64_t start, std::int64_t end) {
  return "Start inv.nom.: " + IntToStrPadded(start, 10) + "\r" +
         "End inv.nom.: " + IntToStrPadded(end, 10);
}

}  // namespace

TInvoiceRangeTab::TInvoiceRangeTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::InvoiceRangeTab) {
  ui->setupUi(this);
  connect(ui->btnSetInvRange, &QPushButton::clicked, this, &TInvoiceRangeTab::btnSetInvRangeClick);
  connect(ui->btnGetInvRange, &QPushButton::clicked, this, &TInvoiceRangeTab::btnGetInvRangeClick);
}

TInvoiceRangeTab::~TInvoiceRangeTab() { delete ui; }

void TInvoiceRangeTab::ShowRange(std::int64_t start, std::int64_t end) {
  ui->edtBegInvNo->setText(QString::fromStdString(IntToStr(start)));
  ui->edtEndInvNo->setText(QString::fromStdString(IntToStr(end)));
}

void TInvoiceRangeTab::btnSetInvRangeClick() {
  const bool creditNote = ui->rbCreaditNote->isChecked();
  const auto action = [&] {
    std::int64_t start = 0, end = 0, current = 0;
    Main.RequireDevice(Device().GetInvoiceRange(creditNote, start, end, current));
    ShowRange(start, end);
    return "Set new invoice range OK.\r" + RangeLines(start, end);
  };
  Main.RunCommand(QString::fromLatin1(kTitle), action);
}

void TInvoiceRangeTab::btnGetInvRangeClick() {
  const bool creditNote = ui->rbCreaditNote->isChecked();
  const std::string startText = ui->edtBegInvNo->text().toStdString();
  const std::string endText = ui->edtEndInvNo->text().toStdString();
  const auto action = [&] {
    std::int64_t start = 0, end = 0;
    if (!TryParseInt64(startText, start)) throw EInputError("Invalid invoice start num.");
    if (!TryParseInt64(endText, end)) throw EInputError("Invalid invoice end num.");
    Main.RequireDevice(Device().SetInvoiceRange(creditNote, start, end));
    ShowRange(start, end);
    return RangeLines(start, end) + "\r";
  };
  Main.RunCommand(QString::fromLatin1(kTitle), action);
}

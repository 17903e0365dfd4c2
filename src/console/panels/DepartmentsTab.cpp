#include "DepartmentsTab.h"

#include "DeviceText.h"
#include "ProgrammingRecords.h"
#include "RegisterTexts.h"
#include "VatGroupChoice.h"
#include "uMain.h"
#include "ui_DepartmentsTab.h"

TDepartmentsTab::TDepartmentsTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::DepartmentsTab) {
  ui->setupUi(this);
  connect(ui->btnGetDepart, &QPushButton::clicked, this, &TDepartmentsTab::btnGetDepartClick);
  connect(ui->btnSetDepartment, &QPushButton::clicked, this,
          &TDepartmentsTab::btnSetDepartmentClick);
}

TDepartmentsTab::~TDepartmentsTab() { delete ui; }

void TDepartmentsTab::btnGetDepartClick() {
  const std::int32_t number = ui->rxGetDepNo->value();
  Main.RunCommand(QStringLiteral("Get departments sum(58H)"), [&] {
    TDepartmentSum sum;
    Main.RequireDevice(Device().GetDepartmentSum(number, sum));
    // The labels show the texts as the device keeps them, blanks included.
    ui->Label51->setText(DevText("Text 1 : " + sum.Text1));
    ui->Label52->setText(DevText("Text 2 : " + sum.Text2));
    ui->Label47->setText(DevText(TaxGroupCaption(sum.TaxGroup)));
    return DepartmentSumText(sum, Device().Regional);
  });
}

void TDepartmentsTab::btnSetDepartmentClick() {
  // The link is opened first; a text the device cannot hold then sends nothing.
  const auto action = [&] {
    TDepartmentInfo info;
    info.DepText1 = ToDeviceText(TrimmedText(ui->edtDepText1->text()), ui->lblDepText1->text());
    info.DepText2 = ToDeviceText(TrimmedText(ui->edtDepText2->text()), ui->lblDepText2->text());
    info.VatGroup = SelectedVatGroup(*ui->cbDepGrp);
    info.DepNo = ui->rxspDepNo->value();
    Main.RequireDevice(Device().SetDepartment(info));
    return std::string("OK");
  };
  Main.RunCommand(QStringLiteral("Set department (57H)"), action);
}

#include "OtherTab.h"

#include <QCheckBox>
#include <QLineEdit>

#include "uMain.h"
#include "ui_OtherTab.h"

TOtherTab::TOtherTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::OtherTab) {
  ui->setupUi(this);
  connect(ui->btnGetDate, &QPushButton::clicked, this, &TOtherTab::btnGetDateClick);
  connect(ui->btn03DH, &QPushButton::clicked, this, &TOtherTab::btn03DHClick);
  connect(ui->btn028H, &QPushButton::clicked, this, &TOtherTab::btn028HClick);
  connect(ui->btnSetUserName, &QPushButton::clicked, this, &TOtherTab::btnSetUserNameClick);
  connect(ui->btnGetPayName, &QPushButton::clicked, this, &TOtherTab::btnGetPayNameClick);
  connect(ui->btnSetPayName, &QPushButton::clicked, this, &TOtherTab::btnSetPayNameClick);
  connect(ui->bFunc53Get, &QPushButton::clicked, this, &TOtherTab::bFunc53GetClick);
  connect(ui->btnFunc53Set, &QPushButton::clicked, this, &TOtherTab::btnFunc53SetClick);
  connect(ui->bGetBCodeHeight, &QPushButton::clicked, this, &TOtherTab::bGetBCodeHeightClick);
  connect(ui->bSetBCodeHeight, &QPushButton::clicked, this, &TOtherTab::bSetBCodeHeightClick);
}

TOtherTab::~TOtherTab() { delete ui; }

namespace {

template <typename T>
using TEight = std::array<T*, 8>;

TEight<QLineEdit> TaxEdits(const Ui::OtherTab& u) {
  return {u.eTax1, u.eTax2, u.eTax3, u.eTax4, u.eTax5, u.eTax6, u.eTax7, u.etax8};
}

TEight<QCheckBox> TaxChecks(const Ui::OtherTab& u) {
  return {u.eTax1Enb,  u.eTax2Enb, u.eTax3Enb, u.eTax4Enb,
          u.eTax5Enbl, u.eTax6enb, u.eTax7Enb, u.eTax8Enbl};
}

}  // namespace

TGeneralSettingsTexts TOtherTab::SettingsTexts() const {
  TGeneralSettingsTexts t;
  t.Multiplier = ui->eMultipl->text();
  t.Decimals = ui->eDecimals->text();
  t.Currency = ui->eCurrency->text();
  const auto edits = TaxEdits(*ui);
  const auto checks = TaxChecks(*ui);
  for (std::size_t i = 0; i < edits.size(); ++i) {
    t.TaxVals[i] = edits[i]->text();
    t.TaxEnabled[i] = checks[i]->isChecked();
  }
  return t;
}

void TOtherTab::ShowSettingsTexts(const TGeneralSettingsTexts& texts) {
  ui->eMultipl->setText(texts.Multiplier);
  ui->eDecimals->setText(texts.Decimals);
  ui->eCurrency->setText(texts.Currency);
  const auto edits = TaxEdits(*ui);
  const auto checks = TaxChecks(*ui);
  for (std::size_t i = 0; i < edits.size(); ++i) {
    edits[i]->setText(texts.TaxVals[i]);
    checks[i]->setChecked(texts.TaxEnabled[i]);
  }
}

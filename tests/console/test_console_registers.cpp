// The "Departments" and "Register PLU in ECR/FP" tabs against the simulator over
// TCP and a scripted device.
#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "ConsoleTestSupport.h"
#include "DeviceText.h"
#include "panels/DepartmentsTab.h"
#include "panels/PluTab.h"
#include "ui_DepartmentsTab.h"
#include "ui_PluTab.h"

namespace {

QStringList DepartmentLines(const char* group, const QString& t1, const QString& t2,
                            const QString& exit, const QString& counts) {
  return QStringList{DevText(group), "Text 1 : " + t1, "Text 2 : " + t2, "ExitCode : " + exit} +
         counts.split('|');
}

QStringList PluLines(const QString& no, const QString& name, const char* group,
                     const QString& price, const QString& avail) {
  return {"PluNo: " + no,       "PluName: " + name,    "TaxGrp: " + DevText(group),
          "GroupNom: 1",        "UnitPrice: " + price, "Sold: 0.000000",
          "TotalSum: 0.000000", "AvailQtty: " + avail};
}

}  // namespace

class TRegistersTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::DepartmentsTab* Dep() { return F.Form->Departments->ui; }
  Ui::PluTab* Plu() { return F.Form->Plu->ui; }
  QStringList Labels() {
    return {Dep()->Label47->text(), Dep()->Label51->text(), Dep()->Label52->text()};
  }
  QStringList Memo() { return Plu()->mmPlu->toPlainText().split('\n'); }
  void ReadDepartment(int no) {
    Dep()->rxGetDepNo->setValue(no);
    Dep()->btnGetDepart->click();
  }
  void ReadPlu(int no) {
    Plu()->rxGetPluNo->setValue(no);
    Plu()->btnGetPlu->click();
  }
  void ProgramPlu(int no, int group, const QString& name, const QString& qtty,
                  const QString& price) {
    Plu()->rxProgPluNo->setValue(no);
    Plu()->cbProgPluTaxGrp->setCurrentIndex(group);
    Plu()->edtProgPluName->setText(name);
    Plu()->edtProgPluQtty->setText(qtty);
    Plu()->edtProgPluUnitPrc->setText(price);
    Plu()->btnSetPlu->click();
  }
  void ExpectBlock(const QString& title, bool ok, const QString& first) {
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, title);
    QVERIFY2(b.Ok == ok && b.Text.value(0).contains(first), qPrintable(b.Text.join('|')));
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  // Keyboard users and screen readers reach every input by its label.
  void EveryInputHasItsLabel() {
    for (QWidget* panel :
         {static_cast<QWidget*>(F.Form->Departments), static_cast<QWidget*>(F.Form->Plu)}) {
      QList<QWidget*> buddies;
      for (QLabel* l : panel->findChildren<QLabel*>()) buddies << l->buddy();
      for (QWidget* w : panel->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                           (qobject_cast<QLineEdit*>(w) && !qobject_cast<QSpinBox*>(w->parent()));
        QVERIFY2(!input || buddies.contains(w), qPrintable(w->objectName()));
      }
    }
  }

  void UnknownDepartmentShowsThePresets() {
    F.UseSimulator();
    ReadDepartment(42);
    QCOMPARE(F.SentTexts(), QStringList{"58:42"});
    ExpectBlock("Get departments sum(58H)", true, DevText("Tax group: \xC0"));
    QCOMPARE(F.LastBlock().Text,
             DepartmentLines("Tax group: \xC0", "", "", "F",
                             "CountSales: 0|RecSum: 0.00|Total sales: 0|Total sum:  0.00"));
    QCOMPARE(Labels(), (QStringList{DevText("Tax group: \xC0"), "Text 1 : ", "Text 2 : "}));
  }

  // The log trims the texts, the first label keeps them; a failed read keeps the labels.
  void DepartmentAnswerAndFailure() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("P\xC1,12,34.50,120,1234.50,  <b>BREAD</b> \tFRESH ");
    F.Scripted->Answer("", StatusWith({{0, 1}}));
    ReadDepartment(250);
    QCOMPARE(F.Scripted->Requests.back().DataText(), std::string("250"));
    QCOMPARE(F.LastBlock().Text,
             DepartmentLines("Tax group: \xC1", "<b>BREAD</b>", "FRESH", "P",
                             "CountSales: 12|RecSum: 34.50|Total sales: 120|Total sum:  1234.50"));
    const QStringList shown = {DevText("Tax group: \xC1"), "Text 1 :   <b>BREAD</b> ",
                               "Text 2 : FRESH"};
    QCOMPARE(Labels(), shown);
    QCOMPARE(Dep()->Label51->textFormat(), Qt::PlainText);  // device text is never markup
    ReadDepartment(4);
    ExpectBlock("Get departments sum(58H)", false, "Invalid command. [0/1]");
    QCOMPARE(Labels(), shown);
  }

  void DepartmentSetFromThePanelReadsBack() {
    F.UseSimulator();
    struct {
      int No, Group;
      QString Text1, Text2;
      QByteArray Sent;
      QStringList Shown;
    } cases[] = {
        {7,
         2,
         "  BREAD  ",
         "\tWHITE ",
         "7,\xC2,BREAD\nWHITE",
         {DevText("Tax group: \xC2"), "Text 1 : BREAD", "Text 2 : WHITE"}},
        {8,
         7,
         "MILK",
         "   ",
         "8,\xC7,MILK",
         {DevText("Tax group: \xC7"), "Text 1 : MILK", "Text 2 : "}},
    };
    for (const auto& c : cases) {
      F.SimRequests.clear();
      Dep()->rxspDepNo->setValue(c.No);
      Dep()->cbDepGrp->setCurrentIndex(c.Group);
      Dep()->edtDepText1->setText(c.Text1);
      Dep()->edtDepText2->setText(c.Text2);
      Dep()->btnSetDepartment->click();
      ExpectBlock("Set department (57H)", true, "OK");
      ReadDepartment(c.No);
      QCOMPARE(F.SentTexts(), (QStringList{"57:" + QString::fromLatin1(c.Sent),
                                           QStringLiteral("58:%1").arg(c.No)}));
      QCOMPARE(Labels(), c.Shown);
    }
  }

  // Checked in this order on the open link; nothing is sent.
  void InputRefusedAfterConnecting() {
    F.UseScripted();
    F.Form->DeviceSerialNo = "QZ999834";  // identity read before
    struct {
      QString Qtty, Price, Name, Error;
    } cases[] = {
        {"abc", "x", "MILK", "Invalid plu qtty."},
        {"1", "", "MILK", "Invalid plu UnitPrice."},
        {"1", "2", QString::fromUtf8("MILK\u4E2D"), "Plu name: the character U+4E2D at position 5"},
    };
    for (const auto& c : cases) {
      ProgramPlu(1, 0, c.Name, c.Qtty, c.Price);
      ExpectBlock("Set plu[6BH].", false, c.Error);
    }
    Dep()->edtDepText2->setText(QString::fromUtf8("\u4E2D"));
    Dep()->btnSetDepartment->click();
    ExpectBlock("Set department (57H)", false, "Department text 2: the character U+4E2D");
    QCOMPARE(F.Scripted->ConnectCalls, 4);
    QVERIFY(F.Scripted->Requests.empty());
  }

  void UnknownPluAndFailedReadsEmptyTheMemo() {
    F.UseSimulator();
    ReadPlu(77);
    QCOMPARE(F.SentTexts(), QStringList{"6B:R77"});
    ExpectBlock("Get plu[6BH].", true, "OK");
    QCOMPARE(Memo(), PluLines("-1", "", "", "0.000000", "0.000000"));
    F.Sim->Device().ForceAnswer(0x6B, "");
    ReadPlu(77);
    ExpectBlock("Get plu[6BH].", false, "[No data recieved]");
    QCOMPARE(Plu()->mmPlu->toPlainText(), QString());
    Plu()->mmPlu->setPlainText(QStringLiteral("PluNo: 3"));
    F.UseScripted();
    F.Scripted->ConnectResult = false;
    ReadPlu(3);
    ExpectBlock("Get plu[6BH].", false, "Failed to connect host.");
    QCOMPARE(Plu()->mmPlu->toPlainText(), QString());
  }

  void PluSetFromThePanelReadsBack() {
    F.UseSimulator();
    const QString forty = QStringLiteral("ABCDEFGHIJ").repeated(4);
    struct {
      int No, Group;
      QString Name, Qtty, Price;
      QByteArray Sent;
      QStringList Memo;
    } cases[] = {
        {12, 0, "MILK, 1L", "1", "2.5",
         "P\xC0"
         "12,1,2.50,A1.000,MILK, 1L",
         PluLines("12", "MILK, 1L", "\xC0", "2.500000", "1.000000")},
        {29, 7, forty, "10.5", "0.999",
         "P\xC7"
         "29,1,1.00,A10.500," +
             forty.left(36).toLatin1(),
         PluLines("29", forty.left(36), "\xC7", "1.000000", "10.500000")},
    };
    for (const auto& c : cases) {
      F.SimRequests.clear();
      ProgramPlu(c.No, c.Group, c.Name, c.Qtty, c.Price);
      ExpectBlock("Set plu[6BH].", true, "OK");
      ReadPlu(c.No);
      QCOMPARE(F.SentTexts(), (QStringList{"6B:" + QString::fromLatin1(c.Sent),
                                           QStringLiteral("6B:R%1").arg(c.No)}));
      QCOMPARE(Memo(), c.Memo);
    }
    F.Sim->Device().ForceAnswer(0x6B, "F");
    ProgramPlu(4, 0, "SALT", "1", "1");
    ExpectBlock("Set plu[6BH].", false, "[can't program plu]");
  }

  void PluNumbersFollowTheRegionalSeparator() {
    F.UseScripted();
    F.Scripted->Regional = TRegionalSettings{',', ':'};
    F.ScriptIdentity();
    F.Scripted->Answer("P");
    ProgramPlu(5, 1, "X", "1,5", "2,5");
    ExpectBlock("Set plu[6BH].", true, "OK");
    QCOMPARE(F.Scripted->Requests.back().DataText(), std::string("P\xC1"
                                                                 "5,1,2,50,A1,500,X"));
  }

  // A refusal without a text of its own must not read as success.
  void DeletePlu() {
    F.UseSimulator();
    F.Sim->Device().Mutate([](sim::TSimState& s) { s.Plus[12].Name = "MILK"; });
    struct {
      int No;
      bool Ok;
      QString Text;
    } cases[] = {
        {12, true, "OK"}, {12, false, "The device refused the command."}, {5000, false, "[0/0]"}};
    for (const auto& c : cases) {
      F.SimRequests.clear();
      Plu()->rxGetPluNo->setValue(c.No);
      Plu()->btnDeletePlu->click();
      QCOMPARE(F.SentTexts(), QStringList{QStringLiteral("6B:D%1").arg(c.No)});
      ExpectBlock("Delete registred plu[6BH].", c.Ok, c.Text);
    }
    QVERIFY(F.Sim->Device().Snapshot().Plus.empty());
  }
};

QTEST_MAIN(TRegistersTest)
#include "test_console_registers.moc"

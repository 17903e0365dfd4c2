// The panels of the tabs and pages: each fills its page from its own form.
#include <QHBoxLayout>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "panels/CommentReceiptTab.h"
#include "panels/DepartmentsTab.h"
#include "panels/DuplicatePage.h"
#include "panels/FiscalReportsTab.h"
#include "panels/HeaderLinesTab.h"
#include "panels/InformationTab.h"
#include "panels/InvoiceDataPage.h"
#include "panels/InvoiceRangeTab.h"
#include "panels/OtherTab.h"
#include "panels/PluTab.h"
#include "panels/ReceiptClosePage.h"
#include "panels/ReceiptCommentsPage.h"
#include "panels/ReceiptOpenPage.h"
#include "panels/ReceiptPaymentPage.h"
#include "panels/ReceiptSalesPage.h"
#include "panels/ReceiptSubtotalPage.h"
#include "panels/ReceiptTab.h"
#include "uMain.h"

namespace {

// The panel fills its page; when the log takes most of the window's height the
// page scrolls instead of squeezing the controls.
template <typename TPanel>
TPanel* Mount(TMainForm& main, QWidget* page) {
  auto* scroll = new QScrollArea(page);
  scroll->setObjectName(page->objectName() + QStringLiteral("Scroll"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* panel = new TPanel(main, scroll);
  scroll->setWidget(panel);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);
  return panel;
}

}  // namespace

void TMainForm::BuildPanels() {
  Information = Mount<TInformationTab>(*this, TS_Information);
  FiscalReports = Mount<TFiscalReportsTab>(*this, TS_FMReports);
  HeaderLines = Mount<THeaderLinesTab>(*this, TS_AdvLines);
  CommentReceipt = Mount<TCommentReceiptTab>(*this, TabSheet4);
  Other = Mount<TOtherTab>(*this, TS_Other);
  InvoiceRange = Mount<TInvoiceRangeTab>(*this, TabSheet1);
  Departments = Mount<TDepartmentsTab>(*this, TabSheet3);
  Plu = Mount<TPluTab>(*this, shProgPlu);

  ReceiptOpen = Mount<TReceiptOpenPage>(*this, TS_Samples);
  ReceiptSales = Mount<TReceiptSalesPage>(*this, TS_PLU);
  ReceiptComments = Mount<TReceiptCommentsPage>(*this, TS_Comment);
  ReceiptSubtotal = Mount<TReceiptSubtotalPage>(*this, TS_Subtotal);
  ReceiptPayment = Mount<TReceiptPaymentPage>(*this, TS_Payment);
  InvoiceData = Mount<TInvoiceDataPage>(*this, TS_InvoiceClient);
  ReceiptClose = Mount<TReceiptClosePage>(*this, TS_CloseFiscRec);
  Duplicate = Mount<TDuplicatePage>(*this, TabSheet2);
  // The buttons of the receipt tab stand beside its pages.
  Receipt = new TReceiptTab(*this, TS_Recept);
  TS_Recept->layout()->addWidget(Receipt);
}

#include "CommentReceiptTab.h"

#include "uMain.h"
#include "ui_CommentReceiptTab.h"

TCommentReceiptTab::TCommentReceiptTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::CommentReceiptTab) {
  ui->setupUi(this);
}

TCommentReceiptTab::~TCommentReceiptTab() { delete ui; }

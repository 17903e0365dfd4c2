#pragma once

#include <QSize>

class QWidget;

// The window's size at first start (no stored placement) on a screen whose
// available area is `available`: wide enough for every tab caption of the page
// control (`tabsWidth`, its tab bar's width with no caption cut) where the
// screen allows it, and never larger than the screen leaves room for.
QSize FirstWindowSize(const QSize& available, int tabsWidth);

// Height of the pages above the divider at first start; the log takes the rest,
// the larger part.
int FirstPagesHeight(int splitterHeight);

// Every push button with a drop-down menu under `root` gets room for its caption
// beside the arrow, so that the two never touch.
void GiveMenuButtonsRoom(QWidget* root);

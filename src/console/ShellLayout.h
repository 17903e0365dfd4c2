#pragma once

#include <QSize>

class QWidget;

// The window's size at first start (no stored placement) on a screen whose
// available area is `available`: wide enough for every tab caption of the page
// control (`tabsWidth`, its tab bar's width with no caption cut) where the
// screen allows it, and never larger than the screen leaves room for.
QSize FirstWindowSize(const QSize& available, int tabsWidth);

// Height of the pages above the divider in a splitter of `total` pixels: what the
// tallest page needs (`needed`), or the stored height (0: none) when it is
// larger, so that a divider stored by an earlier layout never hides controls.
// The log keeps at least `logMinimum`; below that the pages scroll.
int PagesHeight(int stored, int needed, int total, int logMinimum);

// Every push button with a drop-down menu under `root` gets room for its caption
// beside the arrow, so that the two never touch.
void GiveMenuButtonsRoom(QWidget* root);

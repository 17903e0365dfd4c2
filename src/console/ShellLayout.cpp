#include "ShellLayout.h"

#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace {

// Room left for a window frame and a desktop's panels.
constexpr int kFrameWidth = 40;
constexpr int kFrameHeight = 60;
constexpr QSize kPreferred(1200, 740);

}  // namespace

QSize FirstWindowSize(const QSize& available, int tabsWidth) {
  const int width = std::max(kPreferred.width(), tabsWidth);
  return {std::min(width, available.width() - kFrameWidth),
          std::min(kPreferred.height(), available.height() - kFrameHeight)};
}

int PagesHeight(int stored, int needed, int total, int logMinimum) {
  const int wanted = std::max(stored, needed);
  return std::max(1, std::min(wanted, total - logMinimum));
}

void GiveMenuButtonsRoom(QWidget* root) {
  for (QPushButton* button : root->findChildren<QPushButton*>()) {
    if (!button->menu()) continue;
    const int arrow = button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button);
    button->setMinimumWidth(button->sizeHint().width() + arrow);
  }
}

#include "ui/HelpPlacement.h"

#include <algorithm>

namespace vbgen {
namespace {

// The top of a frame of this height: level with the main window, pushed up where it would
// run past the bottom.
int TopWithin(int wantedTop, int height, const QRect& available) {
  return std::clamp(wantedTop, available.top(), available.bottom() + 1 - height);
}

}  // namespace

std::optional<QRect> PlaceBeside(const QRect& mainFrame, const QRect& available,
                                 const QSize& preferred, int minimumWidth) {
  const int rightStart = mainFrame.right() + 1 + kHelpGap;
  const int rightRoom = available.right() + 1 - rightStart;
  const int leftRoom = mainFrame.left() - kHelpGap - available.left();
  const bool right = rightRoom >= preferred.width() || rightRoom >= leftRoom;
  const int room = right ? rightRoom : leftRoom;
  if (room < minimumWidth) return std::nullopt;
  const int width = std::min(room, preferred.width());
  const int height = std::min(available.height(), preferred.height());
  const int left = right ? rightStart : mainFrame.left() - kHelpGap - width;
  return QRect(left, TopWithin(mainFrame.top(), height, available), width, height);
}

QRect PlaceWithin(const QRect& mainFrame, const QRect& available, const QSize& preferred) {
  const QSize size = preferred.boundedTo(available.size());
  return QRect(
      KeepWithin(QPoint(mainFrame.right() + 1 + kHelpGap, mainFrame.top()), size, available), size);
}

QPoint KeepWithin(const QPoint& wanted, const QSize& frame, const QRect& available) {
  const int x = std::clamp(wanted.x(), available.left(),
                           std::max(available.left(), available.right() + 1 - frame.width()));
  const int y = std::clamp(wanted.y(), available.top(),
                           std::max(available.top(), available.bottom() + 1 - frame.height()));
  return QPoint(x, y);
}

}  // namespace vbgen

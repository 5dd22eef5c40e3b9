// Where the help window may stand: beside the main window, never over it, within the screen's
// free area.
#pragma once

#include <QRect>
#include <QSize>
#include <optional>

namespace vbgen {

// The narrowest help window whose lines still read well.
inline constexpr int kHelpMinimumWidth = 340;
// The space left between the two windows.
inline constexpr int kHelpGap = 8;

// The frame of the help window beside mainFrame inside available: to the right when the
// preferred width fits there, else on whichever side has more room, made narrower down to
// minimumWidth. None when neither side has that much room.
std::optional<QRect> PlaceBeside(const QRect& mainFrame, const QRect& available,
                                 const QSize& preferred, int minimumWidth = kHelpMinimumWidth);

// A frame of the preferred size moved (and cut) to lie within available, as near to the
// main window's right as it can: where the window goes when the user asks for it and there is
// no room beside the main window.
QRect PlaceWithin(const QRect& mainFrame, const QRect& available, const QSize& preferred);

// The top-left corner that keeps a frame of this size wholly within available, as near to
// wanted as it can be.
QPoint KeepWithin(const QPoint& wanted, const QSize& frame, const QRect& available);

}  // namespace vbgen

// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QPoint>
#include <QPointF>

#include <functional>

namespace core
{
// A monitor as the anchor conversion needs it: its native top-left corner and whether it is the
// primary one. found is false when no monitor contains the point asked for.
struct DisplayCorner
{
    bool found = false;
    bool primary = false;
    int left = 0;
    int top = 0;
};

using DisplayAt = std::function<DisplayCorner(const QPoint&)>;
using FromDip = std::function<int(int)>;

// Turns a global point in Qt's device-independent pixels into the host's native screen pixels:
// on the primary monitor the whole point is scaled; on another one only the offset from its
// native corner is. Truncation toward zero comes before scaling; a point on no monitor is only
// truncated.
QPoint anchorToNative(const QPointF& global, const DisplayAt& displayAt, const FromDip& fromDip);

// The same with the monitors and scaling of wxWidgets.
QPoint anchorToNative(const QPointF& global);
}

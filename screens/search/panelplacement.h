#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

class QWidget;

namespace velmoran {

// Where a criteria panel opens: on the screen's work area, below `top` (the
// main window's menu bar), clear of `inSight` (what the target screen shows
// that the user reads after a find: the owner, the district, the telephone,
// the price and the deal and kind flags) and, where there is room, of the
// panels already open (`others`). `frame` is the panel with the desktop's
// frame around it. Places are tried from the area's left edge rightwards,
// each as high as it can stand clear; with `bottomRightFirst` the bottom
// right corner of the area comes first. Returns the top left corner of the
// frame.
QPoint panelPlace(const QRect& area, int top, const QSize& frame, const QList<QRect>& inSight,
                  const QList<QRect>& others, bool bottomRightFirst);

// The objectNames of the target screen's controls that stay in sight.
const QStringList& fieldsKeptInSight();

// Their rectangles on the screen, in global coordinates, in the listing view
// of `target` as it stands now; none when it shows none of them.
QList<QRect> keptInSight(const QWidget* target);

} // namespace velmoran

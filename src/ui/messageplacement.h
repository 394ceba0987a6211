// Where a message box goes and how wide it is, so that it hides nothing the
// pupil still needs to see and its own title is readable.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace letro {

// Room a window manager's title bar takes beside the title itself: the
// window's icon, up to three buttons and the paddings, in pixels.
inline constexpr int TitleBarRoom = 160;

// Pixels between the area kept in view and the box.
inline constexpr int MessageBoxGap = 8;

// The least width of a window whose title bar must show `title` whole, the
// title written in the bold of `font`, as title bars mostly write it.
int titledWidth(const QFont &font, const QString &title);

// The outer top-left (frame included) of a box of `outer` size that leaves
// `keep` in view on `screen` (all in pixels, on the screen): centred on
// `keep`, just under it when the box fits on the screen there, else just
// above it, else as low as the screen allows (it then covers part of
// `keep`). Never past the screen's left or top edge.
QPoint besideKeptArea(const QRect &keep, const QSize &outer, const QRect &screen);

// The outer place (frame included) of a window that the pupil reads beside
// the main window, such as the help: as besideKeptArea places a box of
// `outer` size, but when the screen has no room for it whole under nor
// above `keep`, lowered to the room under or above (the larger) so that
// `keep` stays in view, as long as that leaves it `leastHeight`; else
// besideKeptArea's place at its whole size.
QRect besideKeptAreaShortened(const QRect &keep, const QSize &outer, int leastHeight,
                              const QRect &screen);

} // namespace letro

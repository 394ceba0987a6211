#include "progressnote.h"

#include "ui/accessibility.h"

#include <QToolTip>
#include <QWidget>

namespace letro {

void showProgressNote(QWidget *window, const QString &text)
{
    if (!window || text.isEmpty())
        return;
    // Near the top of the window, clear of the typing box and the record box.
    const QPoint at = window->mapToGlobal(QPoint(window->width() / 2, window->height() / 6));
    QToolTip::showText(at, text, window, QRect(), ProgressNoteMilliseconds);
    announce(window, text); // screen readers do not read tooltips
}

} // namespace letro

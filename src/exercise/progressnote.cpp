#include "progressnote.h"

#include "ui/accessibility.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace letro {

namespace {

// A balloon in the colours of the desktop's tooltips, gone at a click.
class NoteLabel : public QLabel
{
public:
    explicit NoteLabel(QWidget *window) : QLabel(window, Qt::ToolTip | Qt::FramelessWindowHint)
    {
        setObjectName(QStringLiteral("ProgressNote"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setAutoFillBackground(true);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setMargin(8);
        setWordWrap(true);
        m_timer.setSingleShot(true);
        m_timer.setInterval(ProgressNoteMilliseconds);
        connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
    }

    void showText(const QString &text)
    {
        setText(text);
        setAccessibleName(text);
        QWidget *window = parentWidget();
        setMaximumWidth(qMax(200, window->width() * 2 / 3));
        adjustSize();
        // Near the top of the window, clear of the typing box and the record box.
        const QPoint centre =
            window->mapToGlobal(QPoint(window->width() / 2, window->height() / 6));
        move(centre - QPoint(width() / 2, height() / 2));
        show();
        raise();
        m_timer.start();
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        hide();
        event->accept();
    }

private:
    QTimer m_timer;
};

} // namespace

QLabel *showProgressNote(QWidget *window, const QString &text)
{
    if (!window || text.isEmpty())
        return nullptr;
    auto *note =
        window->findChild<NoteLabel *>(QStringLiteral("ProgressNote"), Qt::FindDirectChildrenOnly);
    if (!note)
        note = new NoteLabel(window);
    note->showText(text);
    announce(window, text);
    return note;
}

} // namespace letro

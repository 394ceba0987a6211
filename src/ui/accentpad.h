// The accent pad "Acentos": a small tool window beside the main window with
// the Spanish letters and marks that a keyboard without a Spanish layout
// cannot type (á é í ó ú ü ñ ¿ ¡ and the capitals).
//
// A button types its character into the typing box exactly as a key does: it
// sends the box a key press and a key release carrying the character (a
// capital with Shift held), so the character goes through the box's own key
// path and is judged, coloured, counted and recorded like any other key. The
// pad never takes the keyboard focus, so the pupil goes on typing on the
// keyboard, and while the typing box is disabled its buttons are too.
//
// On Wayland a compositor places and focuses windows as it likes: a tool
// window there would be given the keyboard and put over the main window.
// There the pad is a popup of the main window that never takes the keyboard
// (a tooltip's kind): it sits beside the window, moves with it, and comes back
// when the main window is active again after the compositor closed it. An
// X11 program on a Wayland desktop (through Xwayland) fares the same with a
// tool window: there the pad is a tooltip's kind of X11 window, which the
// compositor neither focuses nor moves, placed beside the window as on X11.
#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QWidget>

class QMouseEvent;
class QPushButton;

namespace letro {

class AccentPad : public QWidget
{
    Q_OBJECT

public:
    // The pad of `mainWindow`, whose typing box is its child "RichTextBox1".
    explicit AccentPad(QWidget *mainWindow);

    // The characters on the pad, in its order: each small letter beside its
    // capital, then the two inverted marks. Each button is named by its character.
    static QString characters();

    // Types one character into the typing box as a key would; nothing while
    // the box is disabled.
    void type(QChar character);
    // The same into `typingBox`; the keyboard's accent keys type this way too.
    static void typeInto(QWidget *typingBox, QChar character);

    // Puts the pad to the right of the main window, tops aligned, or to its
    // left when the screen has no room on the right.
    void placeBesideMainWindow();

    // Pixels between two buttons, and around them to the pad's edge.
    static constexpr int ButtonSpacing = 3;
    static constexpr int PadMargin = 6;
    // Pixels between the main window's frame and the pad.
    static constexpr int Gap = 8;

    // A Wayland compositor may refuse a popup whose place is outside its
    // parent window (the protocol forbids it; GNOME's compositor dismisses
    // it at once), and Qt asks for a popup's top-left corner. So the popup
    // starts on the main window's last column, `popupOffset` from the top-
    // left of its client area of `mainWindow` size inside `frame` (the frame
    // Qt draws, or none), and a transparent strip PopupStrip wide goes
    // before the buttons, which then show Gap pixels past the frame.
    static constexpr int PopupStrip = Gap + 1;
    static QPoint popupOffset(const QSize &mainWindow, const QMargins &frame);

    // Which of `buttons` (rectangles) a click at `point` is for: the one
    // that holds it, else the nearest one no more than `reach` pixels away
    // (the gap between two buttons belongs to them both, each taking its
    // nearer half), the first of two as near; -1 for none.
    static int buttonNear(const QList<QRect> &buttons, const QPoint &point, int reach);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A click in the gaps between the buttons goes to the nearest one.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void followTypingBox();
    // The button a click at `point` on the pad itself is for, or none.
    QPushButton *buttonAt(const QPoint &point) const;

    QWidget *m_mainWindow;
    QWidget *m_typingBox;
    const bool m_popup;
    // Closed by the compositor rather than by the pupil: shown again when
    // the main window is active.
    bool m_reopen = false;
    // The button a press in a gap pushed down, until the release.
    QPushButton *m_pressed = nullptr;
};

} // namespace letro

#include "accentpad.h"

#include "ui/messageplacement.h"
#include "ui/platform.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace letro {

namespace {

// Small letter, capital (or the second mark), and how a screen reader names the pair.
struct PadKey
{
    char16_t first;
    char16_t second;
    const char16_t *name;
};

constexpr PadKey Keys[] = {
    {u'á', u'Á', u"a con tilde"}, {u'é', u'É', u"e con tilde"}, {u'í', u'Í', u"i con tilde"},
    {u'ó', u'Ó', u"o con tilde"}, {u'ú', u'Ú', u"u con tilde"}, {u'ü', u'Ü', u"u con diéresis"},
    {u'ñ', u'Ñ', u"eñe"},         {u'¿', u'¡', nullptr},
};

constexpr int PairsPerRow = 2;
const QSize ButtonSize(48, 36);

QString spokenName(QChar c, const PadKey &key)
{
    if (c == u'¿')
        return QStringLiteral("abrir interrogación");
    if (c == u'¡')
        return QStringLiteral("abrir exclamación");
    const QString name = QString::fromUtf16(key.name);
    return c.isUpper() ? name + QStringLiteral(" mayúscula") : name;
}

// The pad's window flags on X11, and on a Wayland desktop.
Qt::WindowFlags flagsFor(bool waylandDesktop)
{
    // A tooltip's kind is a popup that never grabs the keyboard nor the
    // pointer, placed by the program relative to its parent window.
    return (waylandDesktop ? Qt::ToolTip : Qt::Tool) | Qt::WindowDoesNotAcceptFocus;
}

} // namespace

AccentPad::AccentPad(QWidget *mainWindow)
    : QWidget(mainWindow, flagsFor(onWayland() || onXwayland())), m_mainWindow(mainWindow),
      m_typingBox(mainWindow->findChild<QWidget *>(QStringLiteral("RichTextBox1"))),
      m_popup(onWayland())
{
    setObjectName(QStringLiteral("Acentos"));
    setWindowTitle(QStringLiteral("Acentos"));
    // Showing the pad must not take the activation (and with it the
    // keyboard focus) away from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, mainWindow->palette().color(QPalette::Window));
    setPalette(palette);

    QFont font(QStringLiteral("Arial"));
    font.setPointSize(18);
    font.setBold(true);
    // In a sans-serif face "¡" is a stick with a dot, an "i" a row lower; a
    // serif face gives it the wedge a child knows it by.
    QFont marks(QStringLiteral("Times New Roman"));
    marks.setPointSize(22);
    marks.setBold(true);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(PadMargin, PadMargin, PadMargin, PadMargin);
    grid->setSpacing(ButtonSpacing);
    // Two pairs a row: the pad is then wide enough for a window manager to
    // write its title whole, and no taller than the main window.
    int index = 0;
    for (const PadKey &key : Keys) {
        const int row = index / PairsPerRow;
        int column = index % PairsPerRow * 2;
        ++index;
        for (QChar c : {QChar(key.first), QChar(key.second)}) {
            auto *button = new QPushButton(QString(c), this);
            button->setObjectName(QString(c));
            button->setFont(c.isLetter() ? font : marks);
            button->setFixedSize(ButtonSize);
            button->setFocusPolicy(Qt::NoFocus);
            button->setAccessibleName(spokenName(c, key));
            connect(button, &QPushButton::clicked, this, [this, c] { type(c); });
            grid->addWidget(button, row, column++);
        }
    }
    grid->setAlignment(Qt::AlignCenter);
    const QSize buttons = sizeHint();
    const QSize seen(std::max(buttons.width(), titledWidth(QWidget::font(), windowTitle())),
                     buttons.height());
    if (m_popup) {
        // The popup starts on the main window's edge (see popupOffset) and
        // shows only past the gap: the strip before is transparent and lets
        // clicks through.
        setAttribute(Qt::WA_TranslucentBackground);
        grid->setContentsMargins(PopupStrip + PadMargin, PadMargin, PadMargin, PadMargin);
        setFixedSize(seen.width() + PopupStrip, seen.height());
        setMask(QRegion(PopupStrip, 0, seen.width(), seen.height()));
    } else {
        setFixedSize(seen);
    }

    m_mainWindow->installEventFilter(this);
    if (m_typingBox)
        m_typingBox->installEventFilter(this);
    followTypingBox();
}

QString AccentPad::characters()
{
    QString all;
    for (const PadKey &key : Keys)
        all += QString(QChar(key.first)) + QChar(key.second);
    return all;
}

void AccentPad::type(QChar character)
{
    typeInto(m_typingBox, character);
}

void AccentPad::typeInto(QWidget *typingBox, QChar character)
{
    if (!typingBox || !typingBox->isEnabled())
        return;
    // The key a keyboard with this character would send: Qt names Latin-1
    // keys by their capital's code; a capital comes with Shift held.
    const int key = character.toUpper().unicode();
    const Qt::KeyboardModifiers modifiers =
        character.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(character));
    QCoreApplication::sendEvent(typingBox, &press);
    // The key may have finished the exercise and closed the box meanwhile;
    // the release goes to it all the same, as a keyboard's would.
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString(character));
    QCoreApplication::sendEvent(typingBox, &release);
}

void AccentPad::placeBesideMainWindow()
{
    if (m_popup) {
        // Qt places a popup by its offset from the parent window, which is
        // all a Wayland client may choose: the compositor knows where the
        // window is and keeps the popup on the screen.
        const QWindow *window = m_mainWindow->windowHandle();
        const QMargins frame = window ? window->frameMargins() : QMargins();
        const QRect main = m_mainWindow->geometry();
        setGeometry(QRect(main.topLeft() + popupOffset(main.size(), frame), size()));
        return;
    }
    const QRect main = m_mainWindow->frameGeometry();
    // A tooltip's kind of window gets no frame.
    const QMargins frame = windowType() == Qt::ToolTip ? QMargins() : windowFrame(this);
    const int outerWidth = width() + frame.left() + frame.right();
    QPoint at(main.right() + 1 + Gap, main.top());
    if (const QScreen *screen = m_mainWindow->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.x() + outerWidth - 1 > room.right() && main.left() - Gap - outerWidth >= room.left())
            at.setX(main.left() - Gap - outerWidth);
    }
    // The pad's frame goes at that corner and the pad inside it (QWidget::move
    // would take the point as the frame's only once Qt knows the frame).
    setGeometry(QRect(at + QPoint(frame.left(), frame.top()), size()));
}

QPoint AccentPad::popupOffset(const QSize &mainWindow, const QMargins &frame)
{
    // The last column of the frame (or of the window, without one), tops
    // aligned; past the transparent strip the pad shows Gap pixels from
    // the frame, as beside an X11 window.
    return QPoint(mainWindow.width() + frame.right() - 1, -frame.top());
}

int AccentPad::buttonNear(const QList<QRect> &buttons, const QPoint &point, int reach)
{
    int nearest = -1;
    int nearestDistance = reach * reach;
    for (int i = 0; i < buttons.size(); ++i) {
        const QRect &r = buttons[i];
        const int dx = std::max({r.left() - point.x(), 0, point.x() - r.right()});
        const int dy = std::max({r.top() - point.y(), 0, point.y() - r.bottom()});
        const int distance = dx * dx + dy * dy;
        if (distance < nearestDistance || (nearest < 0 && distance == nearestDistance)) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QPushButton *AccentPad::buttonAt(const QPoint &point) const
{
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    QList<QRect> places;
    for (const QPushButton *button : buttons)
        places.append(button->geometry());
    // A gap is ButtonSpacing wide: every point of it is nearer than that to
    // a button on one side; so is the strip of the margin beside a button.
    const int index = buttonNear(places, point, ButtonSpacing);
    return index < 0 ? nullptr : buttons[index];
}

void AccentPad::mousePressEvent(QMouseEvent *event)
{
    QPushButton *button =
        event->button() == Qt::LeftButton ? buttonAt(event->position().toPoint()) : nullptr;
    if (!button || !button->isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Pushed down as a press on the button itself shows it.
    m_pressed = button;
    button->setDown(true);
    event->accept();
}

void AccentPad::mouseReleaseEvent(QMouseEvent *event)
{
    QPushButton *pressed = std::exchange(m_pressed, nullptr);
    if (!pressed || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed->setDown(false);
    event->accept();
    // Typed when released over the same button's cell, as a button's click.
    if (buttonAt(event->position().toPoint()) == pressed && pressed->isEnabled())
        pressed->click();
}

bool AccentPad::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainWindow && !m_popup &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeBesideMainWindow();
    else if (watched == m_mainWindow && event->type() == QEvent::WindowActivate && m_reopen) {
        placeBesideMainWindow();
        show();
    } else if (watched == m_typingBox && event->type() == QEvent::EnabledChange)
        followTypingBox();
    return QWidget::eventFilter(watched, event);
}

void AccentPad::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_reopen = false;
    if (m_popup)
        return;
    // Without a window manager to ask beforehand, the pad's own frame is
    // known only once it is shown: place it again then.
    QTimer::singleShot(0, this, &AccentPad::placeBesideMainWindow);
}

void AccentPad::closeEvent(QCloseEvent *event)
{
    // Only the compositor closes the popup (the pupil's F2 hides it): it
    // does so when another window takes the focus.
    m_reopen = m_popup && isVisible();
    QWidget::closeEvent(event);
}

void AccentPad::followTypingBox()
{
    const bool on = m_typingBox && m_typingBox->isEnabled();
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setEnabled(on);
}

} // namespace letro

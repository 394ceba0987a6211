#include "windowplacement.h"

#include "centring.h"
#include "platform.h"
#include "twips.h"
#include "x11frame.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace letro {

namespace {

const char AskedFrameProperty[] = "letroAskedFrame";
const char PlacedFrameProperty[] = "letroPlacedFrame";

QMargins askedFrame(QWidget *window)
{
    const QVariant known = window->property(AskedFrameProperty);
    if (known.isValid())
        return known.value<QMargins>();
    const QMargins frame = askWindowManagerForFrame(window).value_or(QMargins());
    window->setProperty(AskedFrameProperty, QVariant::fromValue(frame));
    return frame;
}

void rememberPlacement(QWidget *window, const QMargins &frame)
{
    window->setProperty(PlacedFrameProperty, QVariant::fromValue(frame));
}

// Watches the shown window for a frame other than the one it was placed with.
class FrameWatcher : public QObject
{
public:
    FrameWatcher(QWidget *window, std::function<void()> place)
        : QObject(window), m_window(window), m_place(std::move(place))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window) {
            switch (event->type()) {
            case QEvent::Show:
                // The frame arrives a little after the window is mapped.
                for (int delay : {0, 50, 250, 1000})
                    QTimer::singleShot(delay, this, [this] { check(); });
                break;
            case QEvent::Move:
            case QEvent::Resize:
                QTimer::singleShot(0, this, [this] { check(); });
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void check()
    {
        if (!m_window || !m_window->isVisible())
            return;
        const QVariant placed = m_window->property(PlacedFrameProperty);
        if (placed.isValid() && placed.value<QMargins>() != windowFrame(m_window))
            m_place();
    }

    QPointer<QWidget> m_window;
    std::function<void()> m_place;
};

// Puts a fixed window's size back each time the window system changes it.
class FixedSizeKeeper : public QObject
{
public:
    explicit FixedSizeKeeper(QWidget *window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Resize) {
            // After the event, so that the plugin has answered the
            // configure before the window asks again.
            QTimer::singleShot(0, this, [this] { restore(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Consecutive requests a compositor may refuse before the window gives up.
    static constexpr int MaxRequests = 5;

    void restore()
    {
        if (!m_window || !m_window->isVisible())
            return;
        // The requests are counted for each fixed size the program sets.
        if (m_window->minimumSize() != m_counted) {
            m_counted = m_window->minimumSize();
            m_requests = 0;
        }
        const std::optional<QSize> wanted =
            fixedSizeToRestore(m_window->minimumSize(), m_window->maximumSize(), m_window->size());
        if (!wanted || m_requests >= MaxRequests)
            return;
        ++m_requests;
        m_window->resize(*wanted);
    }

    QPointer<QWidget> m_window;
    QSize m_counted;
    int m_requests = 0;
};

} // namespace

QMargins designedFrame()
{
    // 45 twips each side and below; the caption bar and the top border take
    // the rest of the 465 twips between the outer and the client height.
    constexpr int Side = (6480 - 6390) / 2;
    constexpr int Top = 6600 - 6135 - Side;
    return QMargins(twipsToPixels(Side), twipsToPixels(Top), twipsToPixels(Side),
                    twipsToPixels(Side));
}

QMargins placementFrame(const QMargins &reported, bool wayland, const QMargins &asked)
{
    if (!reported.isNull())
        return reported;
    return wayland ? designedFrame() : asked;
}

QMargins windowFrame(QWidget *window)
{
    // Right after mapping Qt may not know the frame yet and report none.
    const QMargins reported = window->isVisible() && window->windowHandle()
                                  ? window->windowHandle()->frameMargins()
                                  : QMargins();
    const bool wayland = onWayland();
    const bool ask = reported.isNull() && !wayland;
    return placementFrame(reported, wayland, ask ? askedFrame(window) : QMargins());
}

void setOuterHeight(QWidget *window, int twips)
{
    const QMargins frame = windowFrame(window);
    window->setFixedHeight(twipsToPixels(twips) - frame.top() - frame.bottom());
}

void centreWindow(QWidget *window, const QSize &screenTwips)
{
    const QMargins frame = windowFrame(window);
    const QSize outer = window->size().grownBy(frame);
    const QPoint topLeft =
        centredTopLeft(screenTwips.width(), screenTwips.height(), pixelsToTwips(outer.width()),
                       pixelsToTwips(outer.height()));
    rememberPlacement(window, frame);
    // The rule places the frame's corner; the window itself (the client area)
    // goes inside the frame. QWidget::move would take the position as the
    // frame's only while Qt knows the frame, which it does not before the
    // window is shown.
    const QPoint client(twipsToPixels(topLeft.x()) + frame.left(),
                        twipsToPixels(topLeft.y()) + frame.top());
    window->setGeometry(QRect(client, window->size()));
}

void placeAgainWhenFrameChanges(QWidget *window, std::function<void()> place)
{
    new FrameWatcher(window, std::move(place));
}

std::optional<QSize> fixedSizeToRestore(const QSize &minimum, const QSize &maximum,
                                        const QSize &current)
{
    QSize wanted = current;
    if (minimum.width() == maximum.width())
        wanted.setWidth(minimum.width());
    if (minimum.height() == maximum.height())
        wanted.setHeight(minimum.height());
    if (wanted == current)
        return std::nullopt;
    return wanted;
}

void holdFixedSizeOnWayland(QWidget *window)
{
    if (onWayland())
        new FixedSizeKeeper(window);
}

} // namespace letro

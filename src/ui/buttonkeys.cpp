#include "buttonkeys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace letro {

namespace {

class ReturnPressesButtons : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!button || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
            qobject_cast<QDialog *>(button->window()))
            return false;
        // The button gets Space instead: pressed down at the press, clicked
        // at the release, held keys repeating nothing.
        QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(button, &space);
        return true;
    }
};

} // namespace

void letReturnPressButtons()
{
    static QPointer<ReturnPressesButtons> filter;
    if (filter || !qApp)
        return;
    filter = new ReturnPressesButtons(qApp);
    qApp->installEventFilter(filter);
}

} // namespace letro

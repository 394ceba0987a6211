#include "accentkeyfilter.h"

#include "ui/accentpad.h"
#include "ui/accessibility.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

namespace letro {

AccentKeyFilter::AccentKeyFilter(QWidget *typingBox) : QObject(typingBox), m_typingBox(typingBox)
{
    setObjectName(QStringLiteral("AccentKeys"));
    typingBox->installEventFilter(this);
}

bool AccentKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_typingBox)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const AccentKeyStep step =
            accentKeyStep(m_pending, key->key(), key->modifiers(), key->text());
        m_pending = step.pending;
        if (!step.typed.isNull()) {
            // A screen reader echoes the keys of the sequence, not the
            // letter they make: it is said before it is judged.
            announce(m_typingBox, QString(step.typed));
            AccentPad::typeInto(m_typingBox, step.typed);
        }
        return step.used;
    }
    case QEvent::InputMethod: {
        // A letter made with a dead key arrives with no key of its own.
        const QString committed = static_cast<QInputMethodEvent *>(event)->commitString();
        if (isComposedInput(committed))
            announce(m_typingBox, committed);
        break;
    }
    case QEvent::FocusOut:
    case QEvent::EnabledChange:
        // A sequence begun before the pupil left the box or the attempt
        // ended does not carry over.
        m_pending = AccentMark::None;
        break;
    default:
        break;
    }
    return false;
}

} // namespace letro

#include "accentkeys.h"

namespace letro {

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return false;
    }
}

namespace {

// What a key held with Ctrl (with or without Shift) starts or types. Qt names
// the key by the character the layout gives with Shift held; where a
// platform names it by the unshifted key instead, the US positions count too.
AccentKeyStep withControl(int key, bool shift)
{
    switch (key) {
    case Qt::Key_Apostrophe:
        return {shift ? AccentMark::Diaeresis : AccentMark::Acute, QChar(), true};
    case Qt::Key_QuoteDbl:
        return {AccentMark::Diaeresis, QChar(), true};
    case Qt::Key_AsciiTilde:
        return {AccentMark::Tilde, QChar(), true};
    case Qt::Key_QuoteLeft:
        if (shift)
            return {AccentMark::Tilde, QChar(), true};
        break;
    case Qt::Key_Question:
        return {AccentMark::None, QChar(u'¿'), true};
    case Qt::Key_Slash:
        if (shift)
            return {AccentMark::None, QChar(u'¿'), true};
        break;
    case Qt::Key_Exclam:
        return {AccentMark::None, QChar(u'¡'), true};
    case Qt::Key_1:
        if (shift)
            return {AccentMark::None, QChar(u'¡'), true};
        break;
    default:
        break;
    }
    return {};
}

// The letter a mark gives with `c`, or a null character.
QChar marked(AccentMark mark, QChar c)
{
    static const QString plain[] = {QString(), QStringLiteral("aeiouAEIOU"), QStringLiteral("uU"),
                                    QStringLiteral("nN")};
    static const QString accented[] = {QString(), QStringLiteral("áéíóúÁÉÍÓÚ"),
                                       QStringLiteral("üÜ"), QStringLiteral("ñÑ")};
    const auto index = static_cast<int>(mark);
    const qsizetype at = plain[index].indexOf(c);
    return at < 0 ? QChar() : accented[index].at(at);
}

} // namespace

AccentKeyStep accentKeyStep(AccentMark pending, int key, Qt::KeyboardModifiers modifiers,
                            const QString &text)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    // Shift, Ctrl and the like pressed alone come before the key they change.
    if (isModifierKey(key))
        return {pending, QChar(), false};
    if (held == Qt::ControlModifier || held == (Qt::ControlModifier | Qt::ShiftModifier)) {
        const AccentKeyStep step = withControl(key, held.testFlag(Qt::ShiftModifier));
        if (step.used)
            return step;
    }
    if (pending != AccentMark::None && (held == Qt::NoModifier || held == Qt::ShiftModifier) &&
        text.size() == 1) {
        const QChar letter = marked(pending, text.at(0));
        if (!letter.isNull())
            return {AccentMark::None, letter, true};
    }
    // Any other key ends a sequence and goes on as ever.
    return {};
}

bool isComposedInput(const QString &committed)
{
    for (QChar c : committed) {
        if (c.unicode() > 0x7f)
            return true;
    }
    return false;
}

} // namespace letro

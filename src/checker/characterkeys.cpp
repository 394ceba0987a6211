#include "characterkeys.h"

namespace letro {

QString characterKeys(const QString &text)
{
    QString keys;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSurrogate()) {
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            keys.append(QChar::ReplacementCharacter);
        } else if (c.category() != QChar::Other_Control) {
            keys.append(c);
        }
    }
    return keys;
}

bool isShortcutModifiers(Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    return held == Qt::ControlModifier || held == (Qt::ControlModifier | Qt::ShiftModifier);
}

QString characterKeys(const QString &text, Qt::KeyboardModifiers modifiers)
{
    return isShortcutModifiers(modifiers) ? QString() : characterKeys(text);
}

QList<UntypableCharacter> untypableCharacters(const QString &line)
{
    QList<UntypableCharacter> found;
    int position = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        ++position;
        const QChar c = line.at(i);
        if (c.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
            found.append({position, QChar::surrogateToUcs4(c, line.at(i + 1))});
            ++i;
        } else if (c.isSurrogate() || c.category() == QChar::Other_Control) {
            found.append({position, c.unicode()});
        }
    }
    return found;
}

QString describeUntypable(const UntypableCharacter &character)
{
    QString name;
    switch (character.code) {
    case 0x09:
        name = QStringLiteral("tabulador");
        break;
    case 0x0A:
    case 0x0D:
        name = QStringLiteral("salto de línea");
        break;
    case 0x00:
        name = QStringLiteral("carácter nulo");
        break;
    default:
        name = character.code > 0xFFFF ? QStringLiteral("fuera del plano básico, p. ej. un emoji")
                                       : QStringLiteral("carácter de control");
    }
    const QString code = QString::number(uint(character.code), 16).toUpper();
    return QStringLiteral("posición %1: U+%2 (%3)")
        .arg(character.position)
        .arg(code.rightJustified(4, QLatin1Char('0')), name);
}

} // namespace letro

// Fuzzes the mistake classification: any two UTF-16 units as typed and
// expected character.
#include "checker/classify.h"

#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace letro;

namespace {

void fail(const char *what, QChar typed, QChar expected)
{
    std::fprintf(stderr, "invariant broken: %s (typed U+%04X, expected U+%04X)\n", what,
                 unsigned(typed.unicode()), unsigned(expected.unicode()));
    std::abort();
}

const QStringList &messages()
{
    static const QStringList all = {
        QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!"),
        QStringLiteral("¡Confundes 'y' y 'i'!"),
        QStringLiteral("¡Confundes 'b' y 'v'!"),
        QStringLiteral("No lleva 'h'"),
        QStringLiteral("Esta palabra lleva 'h'"),
        QStringLiteral("Esta vocal lleva acento"),
        QStringLiteral("Esta vocal NO lleva acento"),
        QStringLiteral("Después de una palabra viene un espacio"),
        QStringLiteral("Se necesita un signo de puntuación   ,  .  :  ;"),
        QStringLiteral("Te has confundido de letra"),
    };
    return all;
}

void check(QChar typed, QChar expected)
{
    const Mistake mistake = classifyMistake(typed, expected);
    const int row = int(mistake);
    if (row < 1 || row > 10)
        fail("classification outside the ten rows", typed, expected);
    const QString message = mistakeMessage(mistake);
    if (message.isEmpty())
        fail("empty message", typed, expected);
    if (messages().indexOf(message) != row - 1)
        fail("message is not the row's message", typed, expected);

    // A letter typed in the other case is always the capital-letter row.
    for (QChar c : {typed, expected}) {
        if (c.isLetter() && c.toUpper() != c) {
            if (classifyMistake(c, c.toUpper()) != Mistake::CapitalLetter)
                fail("small letter for its capital not row 1", c, c.toUpper());
            if (classifyMistake(c.toUpper(), c) != Mistake::CapitalLetter)
                fail("capital letter for its small one not row 1", c.toUpper(), c);
        }
    }
    // A blank expected: row 8 unless an earlier row (1 or 4) holds.
    const QChar T = typed.toUpper();
    if (expected == u' ' && T != u' ' && T != u'H' && mistake != Mistake::MissingBlank)
        fail("blank expected but not row 8", typed, expected);
    // Inverted marks and ñ expected are never the punctuation row.
    if ((expected == u'¿' || expected == u'¡' || expected == u'ñ') &&
        mistake == Mistake::MissingPunctuation)
        fail("mark above code 63 taken for punctuation", typed, expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    // Every four bytes are one pair: typed and expected, UTF-16 little-endian.
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const QChar typed(char16_t(data[i] | (data[i + 1] << 8)));
        const QChar expected(char16_t(data[i + 2] | (data[i + 3] << 8)));
        check(typed, expected);
    }
    return 0;
}

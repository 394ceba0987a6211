// Fuzzes the exercise reader: any bytes through firstLineOf, readFirstLine
// over a QBuffer (with a small line limit taken from the input) and
// decodeExerciseText, checking what must hold for every input.
#include "exercise/exercisefile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace letro;

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool isAscii(const QByteArray &bytes)
{
    for (char b : bytes) {
        if (uchar(b) >= 0x80)
            return false;
    }
    return true;
}

void checkDecoded(const QByteArray &line, bool truncated)
{
    const QString text = decodeExerciseText(line, truncated);
    if (hasLineBreak(text))
        fail("decoded line holds CR or LF");
    if (text.size() > line.size())
        fail("decoded line longer than its bytes");
    if (isAscii(line) && text != QString::fromLatin1(line))
        fail("ASCII line not decoded as itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the line limit (1..256) so that cutting is reached.
    const qsizetype maxBytes = qsizetype(data[0]) + 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const QByteArray line = firstLineOf(bytes);
    if (line.contains('\r') || line.contains('\n'))
        fail("first line holds CR or LF");
    if (!bytes.startsWith(line))
        fail("first line is not a prefix of the file");
    if (line.size() < bytes.size() && bytes.at(line.size()) != '\r' &&
        bytes.at(line.size()) != '\n')
        fail("first line ends before a line break");

    // Reading from a device gives the same line, cut at the limit.
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        fail("buffer does not open");
    bool truncated = true;
    const QByteArray read = readFirstLine(buffer, maxBytes, &truncated);
    if (read != line.left(maxBytes))
        fail("readFirstLine differs from firstLineOf");
    if (truncated != (line.size() > maxBytes))
        fail("truncated flag wrong");

    // The whole-line default limit reads the whole (short) line untruncated.
    buffer.seek(0);
    bool whole = true;
    if (readFirstLine(buffer, MaxLineBytes, &whole) != line || whole)
        fail("readFirstLine with the default limit differs");

    checkDecoded(line, false);
    checkDecoded(line, true);
    checkDecoded(read, truncated);

    // Windows-1252: one character per byte, none lost, each mapping back.
    const QString cp = decodeWindows1252(bytes);
    if (cp.size() != bytes.size())
        fail("Windows-1252 decoding changed the length");
    for (qsizetype i = 0; i < cp.size(); ++i) {
        if (cp.at(i) == QChar::ReplacementCharacter)
            fail("Windows-1252 byte decoded to U+FFFD");
        if (windows1252Code(cp.at(i)) != uchar(bytes.at(i)))
            fail("Windows-1252 code does not map back to its byte");
    }
    return 0;
}

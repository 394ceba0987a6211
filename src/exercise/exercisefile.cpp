#include "exercisefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace letro {

namespace {

constexpr qsizetype ChunkBytes = 4096;

qsizetype lineEnd(const QByteArray &bytes, qsizetype from = 0)
{
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' || bytes.at(i) == '\n')
            return i;
    }
    return -1;
}

// Windows-1252 is Latin-1 but for 0x80 to 0x9F. The five bytes it leaves
// undefined (81, 8D, 8F, 90, 9D) keep their code as C1 control characters.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr char16_t windows1252Char(uchar byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t(byte);
}

} // namespace

QByteArray readFirstLine(QIODevice &device, qsizetype maxBytes, bool *truncated)
{
    QByteArray line;
    if (truncated)
        *truncated = false;
    while (line.size() < maxBytes) {
        const QByteArray chunk = device.read(qMin(ChunkBytes, maxBytes - line.size()));
        if (chunk.isEmpty())
            return line;
        const qsizetype end = lineEnd(chunk);
        if (end >= 0) {
            line.append(chunk.constData(), end);
            return line;
        }
        line.append(chunk);
    }
    if (truncated) {
        // Cut at the limit unless the line happens to end right there.
        char next = 0;
        *truncated = device.peek(&next, 1) == 1 && next != '\r' && next != '\n';
    }
    return line;
}

QByteArray firstLineOf(const QByteArray &bytes)
{
    const qsizetype end = lineEnd(bytes);
    return end < 0 ? bytes : bytes.left(end);
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(windows1252Char(uchar(bytes.at(i))));
    return text;
}

int windows1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 256 && windows1252Char(uchar(u)) == u)
        return u;
    for (int i = 0x80; i < 0xA0; ++i) {
        if (Windows1252High[i - 0x80] == u)
            return i;
    }
    return -1;
}

QString decodeExerciseText(const QByteArray &line, bool truncated)
{
    QByteArray bytes = line;
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom)
        bytes.remove(0, 3);
    if (truncated) {
        // Drop a multi-byte sequence cut in half at the end of the read.
        qsizetype start = bytes.size();
        int back = 0;
        while (start > 0 && back < 4 && (uchar(bytes.at(start - 1)) & 0xC0) == 0x80) {
            --start;
            ++back;
        }
        if (start > 0 && uchar(bytes.at(start - 1)) >= 0xC0)
            bytes.truncate(start - 1);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(line);
}

bool isOrdinaryFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool isExerciseName(const QString &name)
{
    // Anchored at the very end: "$" would also match before a final line feed.
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[1-9][0-9]*")));
    return digits.match(name).hasMatch();
}

ExerciseText readExerciseFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable, {}};
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {ReadStatus::Missing, {}};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {ReadStatus::Unreadable, {}};
    }
    if (info.st_size == 0)
        return {ReadStatus::Empty, {}};
    bool truncated = false;
    const QByteArray line = readFirstLine(file, MaxLineBytes, &truncated);
    if (file.error() != QFileDevice::NoError)
        return {ReadStatus::Unreadable, {}};
    return {ReadStatus::Ok, decodeExerciseText(line, truncated)};
}

} // namespace letro

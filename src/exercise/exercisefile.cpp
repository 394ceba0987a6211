#include "exercisefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>
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

// The 256 characters of Windows-1252, decoded once with Qt's (ICU's) decoder.
const std::array<char16_t, 256> &windows1252Table()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QStringDecoder decoder("windows-1252");
        const QString decoded = decoder.isValid() ? decoder.decode(all) : QString();
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = char16_t(i); // Latin-1 and the undefined bytes keep their code
        if (decoded.size() == 256) {
            for (int i = 0; i < 256; ++i) {
                const char16_t c = decoded.at(i).unicode();
                if (c != QChar::ReplacementCharacter)
                    t[size_t(i)] = c;
            }
        }
        return t;
    }();
    return table;
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
    const auto &table = windows1252Table();
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(table[uchar(bytes.at(i))]);
    return text;
}

int windows1252Code(QChar c)
{
    const char16_t u = c.unicode();
    const auto &table = windows1252Table();
    if (u < 256 && table[u] == u)
        return u;
    for (int i = 0x80; i < 0xA0; ++i) {
        if (table[size_t(i)] == u)
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
    struct stat info;
    const QByteArray native = QFile::encodeName(path);
    return ::stat(native.constData(), &info) == 0 && S_ISREG(info.st_mode);
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

// The exercise file reader: where the first line ends, how its bytes are
// decoded, and which paths count as exercise files at all.
#include "exercise/exercisefile.h"
#include "unreadable.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace letro;

class TestExerciseFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void firstLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("CR LF ends the line")
            << QByteArray("casa\r\nperro\r\n") << QByteArray("casa");
        QTest::newRow("lone CR ends the line") << QByteArray("casa\rperro") << QByteArray("casa");
        QTest::newRow("lone LF ends the line") << QByteArray("casa\nperro\n") << QByteArray("casa");
        QTest::newRow("LF CR: the LF comes first") << QByteArray("a b\n\rc") << QByteArray("a b");
        QTest::newRow("no line end: the whole file")
            << QByteArray("El sol sale.") << QByteArray("El sol sale.");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("empty first line") << QByteArray("\r\nsegunda") << QByteArray();
        QTest::newRow("spaces kept, not trimmed")
            << QByteArray("  hola ,  \r\n") << QByteArray("  hola ,  ");
        QTest::newRow("NUL byte is part of the line")
            << QByteArray("a\0b\r", 4) << QByteArray("a\0b", 3);
        QTest::newRow("line end right at 4096")
            << QByteArray(4096, 'x') + "\r\nresto" << QByteArray(4096, 'x');
        QTest::newRow("line end right at 4095")
            << QByteArray(4095, 'x') + "\nresto" << QByteArray(4095, 'x');
        QTest::newRow("line end right after 4097")
            << QByteArray(4097, 'x') + "\rresto" << QByteArray(4097, 'x');
        QTest::newRow("line across three chunks") << QByteArray(10000, 'y') + "\r\n"
                                                  << QByteArray(10000, 'y');
    }

    void firstLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, line);
        QCOMPARE(firstLineOf(bytes), line);

        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        bool truncated = true;
        QCOMPARE(readFirstLine(buffer, MaxLineBytes, &truncated), line);
        QVERIFY(!truncated);
    }

    void longLineIsCut_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("lineLength");
        QTest::addColumn<bool>("truncated");
        QTest::newRow("longer than the limit, no line end")
            << QByteArray(MaxLineBytes + 5000, 'z') << qsizetype(MaxLineBytes) << true;
        QTest::newRow("longer than the limit, line end later")
            << QByteArray(MaxLineBytes + 1, 'z') + "\r\n"
            << qsizetype(MaxLineBytes) << true;
        QTest::newRow("exactly the limit, then CR LF")
            << QByteArray(MaxLineBytes, 'z') + "\r\nmas" << qsizetype(MaxLineBytes) << false;
        QTest::newRow("exactly the limit, then LF")
            << QByteArray(MaxLineBytes, 'z') + "\nmas" << qsizetype(MaxLineBytes) << false;
        QTest::newRow("exactly the limit, end of file")
            << QByteArray(MaxLineBytes, 'z') << qsizetype(MaxLineBytes) << false;
        QTest::newRow("one under the limit")
            << QByteArray(MaxLineBytes - 1, 'z') + "\r" << qsizetype(MaxLineBytes - 1) << false;
    }

    void longLineIsCut()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, lineLength);
        QFETCH(bool, truncated);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        bool cut = !truncated;
        const QByteArray line = readFirstLine(buffer, MaxLineBytes, &cut);
        QCOMPARE(line.size(), lineLength);
        QCOMPARE(line, bytes.left(lineLength));
        QCOMPARE(cut, truncated);
    }

    void readingStopsAtTheLineEnd()
    {
        // Only as much as needed is read: what follows the line stays unread.
        QByteArray bytes = "primera\r\n" + QByteArray(100000, 's');
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(readFirstLine(buffer), QByteArray("primera"));
        QVERIFY(buffer.pos() <= 4096);
    }

    void smallerLimit()
    {
        QByteArray bytes = "abcdefghij";
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        bool truncated = false;
        QCOMPARE(readFirstLine(buffer, 4, &truncated), QByteArray("abcd"));
        QVERIFY(truncated);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("truncated");
        QTest::addColumn<QString>("text");
        QTest::newRow("Windows-1252 camión")
            << QByteArray("cami\xF3n") << false << QStringLiteral("camión");
        QTest::newRow("UTF-8 camión")
            << QByteArray("cami\xC3\xB3n") << false << QStringLiteral("camión");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF"
                                                      "cami\xC3\xB3n")
                                        << false << QStringLiteral("camión");
        QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << false << QString();
        QTest::newRow("80 E1 F1 BF")
            << QByteArray("\x80\xE1\xF1\xBF") << false << QStringLiteral("€áñ¿");
        QTest::newRow("all Spanish marks in Windows-1252")
            << QByteArray("\xA1\xBF\xE1\xE9\xED\xF3\xFA\xFC\xF1\xC1\xC9\xCD\xD3\xDA\xDC\xD1")
            << false << QStringLiteral("¡¿áéíóúüñÁÉÍÓÚÜÑ");
        QTest::newRow("plain ASCII")
            << QByteArray("Hola, mundo.") << false << QStringLiteral("Hola, mundo.");
        QTest::newRow("empty") << QByteArray() << false << QString();
        QTest::newRow("undefined 81 8D 8F 90 9D")
            << QByteArray("a\x81\x8D\x8F\x90\x9Dz") << false
            << QString::fromUtf16(u"a\u0081\u008D\u008F\u0090\u009Dz");
        QTest::newRow("Windows-1252 quotes and dashes")
            << QByteArray("\x93hola\x94 \x96 \x85") << false
            << QString::fromUtf16(u"\u201Chola\u201D \u2013 \u2026");
        QTest::newRow("valid UTF-8 then a stray byte: Windows-1252 throughout")
            << QByteArray("cami\xC3\xB3n \xF1") << false << QStringLiteral("camiÃ³n ñ");
        QTest::newRow("BOM then invalid UTF-8: Windows-1252 with the BOM bytes")
            << QByteArray("\xEF\xBB\xBF\xF1") << false << QStringLiteral("ï»¿ñ");
        QTest::newRow("overlong UTF-8 is not UTF-8")
            << QByteArray("\xC0\xAF") << false << QStringLiteral("À¯");
        QTest::newRow("cut multi-byte at the limit: UTF-8 kept, half dropped")
            << QByteArray("ni\xC3\xB1o \xC3") << true << QStringLiteral("niño ");
        QTest::newRow("cut 3-byte sequence after 2 bytes")
            << QByteArray("\xE2\x82\xAC y \xE2\x82") << true << QStringLiteral("€ y ");
        QTest::newRow("same bytes, not cut: Windows-1252")
            << QByteArray("ni\xC3\xB1o \xC3") << false << QStringLiteral("niÃ±o Ã");
        QTest::newRow("cut Windows-1252 text stays Windows-1252")
            << QByteArray("cami\xF3n") << true << QStringLiteral("camión");
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, truncated);
        QFETCH(QString, text);
        QCOMPARE(decodeExerciseText(bytes, truncated), text);
    }

    void everyByteHasItsOwnCharacter()
    {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = decodeWindows1252(all);
        QCOMPARE(text.size(), 256);
        for (int i = 0; i < 256; ++i) {
            QVERIFY2(text.at(i) != QChar::ReplacementCharacter, qPrintable(QString::number(i, 16)));
            QCOMPARE(windows1252Code(text.at(i)), i);
        }
    }

    void code_data()
    {
        QTest::addColumn<QChar>("character");
        QTest::addColumn<int>("code");
        QTest::newRow("€") << QChar(u'€') << 0x80;
        QTest::newRow("á") << QChar(u'á') << 0xE1;
        QTest::newRow("ñ") << QChar(u'ñ') << 0xF1;
        QTest::newRow("¿") << QChar(u'¿') << 0xBF;
        QTest::newRow(",") << QChar(u',') << 44;
        QTest::newRow("A") << QChar(u'A') << 65;
        QTest::newRow("NUL") << QChar(u'\0') << 0;
        QTest::newRow("left double quote") << QChar(u'\u201C') << 0x93;
        QTest::newRow("ő has no code") << QChar(u'ő') << -1;
        QTest::newRow("U+0080 is taken by €") << QChar(u'\u0080') << -1;
        QTest::newRow("U+0081 undefined byte") << QChar(u'\u0081') << 0x81;
        QTest::newRow("Greek alpha") << QChar(u'α') << -1;
    }

    void code()
    {
        QFETCH(QChar, character);
        QFETCH(int, code);
        QCOMPARE(windows1252Code(character), code);
    }

    void readFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("ordinary CR LF") << QByteArray("El gato\r\ncome.\r\n") << int(ReadStatus::Ok)
                                        << QStringLiteral("El gato");
        QTest::newRow("Windows-1252") << QByteArray("\xBFQu\xE9 tal?\r\n") << int(ReadStatus::Ok)
                                      << QStringLiteral("¿Qué tal?");
        QTest::newRow("UTF-8 LF only") << QByteArray("\xC2\xBFQu\xC3\xA9 tal?\nfin\n")
                                       << int(ReadStatus::Ok) << QStringLiteral("¿Qué tal?");
        QTest::newRow("empty first line") << QByteArray("\r\n") << int(ReadStatus::Ok) << QString();
        QTest::newRow("empty file") << QByteArray() << int(ReadStatus::Empty) << QString();
    }

    void readFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QString, text);
        const QString path = write(QStringLiteral("read-%1").arg(QTest::currentDataTag()), bytes);
        const ExerciseText read = readExerciseFile(path);
        QCOMPARE(int(read.status), status);
        QCOMPARE(read.text, text);
        QVERIFY(isOrdinaryFile(path));
    }

    void readMissing()
    {
        const ExerciseText read = readExerciseFile(m_dir.filePath(QStringLiteral("no-such-file")));
        QCOMPARE(read.status, ReadStatus::Missing);
        QVERIFY(read.text.isEmpty());
    }

    void readFolder()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        const ExerciseText read = readExerciseFile(m_dir.filePath(QStringLiteral("folder")));
        QCOMPARE(read.status, ReadStatus::Missing);
    }

    void readFifoReturnsAtOnce()
    {
        const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("fifo")));
        QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
        QElapsedTimer clock;
        clock.start();
        const ExerciseText read = readExerciseFile(QFile::decodeName(fifo));
        QVERIFY2(clock.elapsed() < 1000, "reading a FIFO with no writer must not wait");
        QCOMPARE(read.status, ReadStatus::Missing);
    }

    void readLinks()
    {
        const QString target = write(QStringLiteral("target"), "enlazado\r\n");
        const QString good = m_dir.filePath(QStringLiteral("good-link"));
        const QString broken = m_dir.filePath(QStringLiteral("broken-link"));
        QVERIFY(QFile::link(target, good));
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("nowhere")), broken));

        const ExerciseText viaLink = readExerciseFile(good);
        QCOMPARE(viaLink.status, ReadStatus::Ok);
        QCOMPARE(viaLink.text, QStringLiteral("enlazado"));

        QCOMPARE(readExerciseFile(broken).status, ReadStatus::Missing);
    }

    void readUnreadable()
    {
        const QString path = write(QStringLiteral("locked"), "secreto\r\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        test::makeSearchable(m_dir.path());
        test::NoFileAccessRights asNobody;
        QVERIFY(test::cannotOpen(path));
        QVERIFY(isOrdinaryFile(path)); // it is there, only not readable
        const ExerciseText read = readExerciseFile(path);
        QCOMPARE(read.status, ReadStatus::Unreadable);
        QVERIFY(read.text.isEmpty());
    }

    void readHugeFileWithoutLineEnds()
    {
        const QString path = m_dir.filePath(QStringLiteral("huge"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(1024 * 1024, 'h');
            for (int i = 0; i < 50; ++i)
                QCOMPARE(file.write(block), block.size());
        }
        QElapsedTimer clock;
        clock.start();
        const ExerciseText read = readExerciseFile(path);
        QVERIFY2(clock.elapsed() < 2000, "a huge file must be read only up to the limit");
        QCOMPARE(read.status, ReadStatus::Ok);
        QCOMPARE(read.text.size(), qsizetype(65536));
        QCOMPARE(read.text, QString(65536, u'h'));
    }

    void readCutInsideUtf8Character()
    {
        // The 64 KiB limit falls in the middle of "ñ": the text is still UTF-8
        // and the half character is left out.
        const QByteArray bytes = QByteArray(MaxLineBytes - 1, 'a') + "\xC3\xB1" + "mas";
        const QString path = write(QStringLiteral("cut-utf8"), bytes);
        const ExerciseText read = readExerciseFile(path);
        QCOMPARE(read.status, ReadStatus::Ok);
        QCOMPARE(read.text, QString(MaxLineBytes - 1, u'a'));
    }

    void ordinaryFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ordinary");
        QTest::newRow("file") << QStringLiteral("o-file") << true;
        QTest::newRow("empty file") << QStringLiteral("o-empty") << true;
        QTest::newRow("hidden file") << QStringLiteral(".o-hidden") << true;
        QTest::newRow("link to a file") << QStringLiteral("o-link") << true;
        QTest::newRow("folder") << QStringLiteral("o-folder") << false;
        QTest::newRow("link to a folder") << QStringLiteral("o-folderlink") << false;
        QTest::newRow("broken link") << QStringLiteral("o-broken") << false;
        QTest::newRow("FIFO") << QStringLiteral("o-fifo") << false;
        QTest::newRow("socket") << QStringLiteral("o-socket") << false;
        QTest::newRow("device") << QStringLiteral("/dev/null") << false;
        QTest::newRow("missing") << QStringLiteral("o-missing") << false;
        QTest::newRow("empty path") << QString() << false;
    }

    void ordinaryFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, ordinary);
        static bool made = false;
        if (!made) {
            made = true;
            write(QStringLiteral("o-file"), "x\r\n");
            write(QStringLiteral("o-empty"), QByteArray());
            write(QStringLiteral(".o-hidden"), "x\r\n");
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("o-file")),
                                m_dir.filePath(QStringLiteral("o-link"))));
            QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("o-folder")));
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("o-folder")),
                                m_dir.filePath(QStringLiteral("o-folderlink"))));
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("o-gone")),
                                m_dir.filePath(QStringLiteral("o-broken"))));
            QCOMPARE(
                ::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("o-fifo"))).constData(),
                         0644),
                0);
            const QByteArray socketPath =
                QFile::encodeName(m_dir.filePath(QStringLiteral("o-socket")));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(fd >= 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(size_t(socketPath.size()) < sizeof(address.sun_path));
            qstrcpy(address.sun_path, socketPath.constData());
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
            ::close(fd);
        }
        const QString path =
            name.startsWith(QLatin1Char('/')) || name.isEmpty() ? name : m_dir.filePath(name);
        QCOMPARE(isOrdinaryFile(path), ordinary);
        if (!ordinary && !name.isEmpty()) {
            QElapsedTimer clock;
            clock.start();
            QVERIFY(readExerciseFile(path).status != ReadStatus::Ok);
            QVERIFY(clock.elapsed() < 1000);
        }
    }
};

QTEST_GUILESS_MAIN(TestExerciseFile)
#include "tst_exercisefile.moc"

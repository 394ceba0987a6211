// The class list: how names are kept, and reading and writing the file.
#include "progress/classlist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace letro::progress;

class TestClassList : public QObject
{
    Q_OBJECT

private slots:
    void namesAsKept_data();
    void namesAsKept();
    void fileRoundTrip();
};

void TestClassList::namesAsKept_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("order kept") << QStringList{"Zoe", "Ana", "Íñigo"}
                                << QStringList{"Zoe", "Ana", "Íñigo"};
    QTest::newRow("blanks at the ends and inside")
        << QStringList{"  Ana  Belén ", "\tLuis\r"} << QStringList{"Ana Belén", "Luis"};
    QTest::newRow("empty lines dropped")
        << QStringList{"", "   ", "Ana", "\r"} << QStringList{"Ana"};
    QTest::newRow("repeated in any case kept once")
        << QStringList{"Ana", "ANA", "ana ", "Álvaro", "álvaro"} << QStringList{"Ana", "Álvaro"};
    QTest::newRow("control and format characters dropped")
        << QStringList{QStringLiteral("A\u0007na"), QStringLiteral("Lu\u200Bis")}
        << QStringList{"Ana", "Luis"};
    QTest::newRow("long name cut") << QStringList{QString(70, QLatin1Char('a'))}
                                   << QStringList{QString(classNameMaxLength, QLatin1Char('a'))};
    QStringList many;
    QStringList first;
    for (int i = 0; i < classListMaxNames + 5; ++i) {
        many << QStringLiteral("Alumno %1").arg(i);
        if (i < classListMaxNames) {
            first << many.last();
        }
    }
    QTest::newRow("at most the limit") << many << first;
}

void TestClassList::namesAsKept()
{
    QFETCH(QStringList, given);
    QFETCH(QStringList, kept);
    QCOMPARE(cleanClassList(given), kept);
}

void TestClassList::fileRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Letro/clase.txt"));

    // No file: no list and nothing wrong, so nobody is asked.
    ClassList list = readClassList(path);
    QVERIFY(list.names.isEmpty());
    QVERIFY(list.problem.isEmpty());

    // Written cleaned, folder made, read back the same.
    QCOMPARE(writeClassList(path, {"Marta", " Íñigo ", "marta", ""}), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("Marta\nÍñigo\n"));
    file.close();
    list = readClassList(path);
    QCOMPARE(list.names, (QStringList{"Marta", "Íñigo"}));
    QVERIFY(list.problem.isEmpty());

    // An empty list removes the file.
    QCOMPARE(writeClassList(path, {" ", ""}), QString());
    QVERIFY(!QFile::exists(path));

    // A list that cannot be read says so in Spanish.
    QVERIFY(QDir().mkpath(path)); // a folder where the file should be
    list = readClassList(path);
    QVERIFY(list.names.isEmpty());
    QVERIFY2(list.problem.startsWith(QStringLiteral("No se puede leer la lista de la clase")),
             qPrintable(list.problem));
    QVERIFY(writeClassList(path, {"Ana"})
                .startsWith(QStringLiteral("No se puede guardar la lista de la clase")));
}

QTEST_GUILESS_MAIN(TestClassList)
#include "tst_classlist.moc"

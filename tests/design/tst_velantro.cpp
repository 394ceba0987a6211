// The animated-picture control: GifPath plays and restarts, "" and unreadable
// files show nothing, Active switches the picture off and on, Left is twips.
#include "ui/velantro.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace letro;

namespace {

QString gif(const QString &name)
{
    return qEnvironmentVariable("LETRO_SOURCE_DIR") + "/assets/gifs/" + name;
}

bool showsNothing(const Velantro &v)
{
    return !v.isPlaying() && v.currentFrame() == -1 && v.movie() == nullptr && v.pixmap().isNull();
}

} // namespace

class TestVelantro : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsEmpty();
    void plays_data();
    void plays();
    void sameGifPathRestarts();
    void otherGifPathRestarts();
    void changedFileShownAnew();
    void emptyPathShowsNothing();
    void unreadableShowsNothing_data();
    void unreadableShowsNothing();
    void truncatedGifDoesNoHarm();
    void activeSwitches();
    void activeFalseThenNewPath();
    void leftInTwips_data();
    void leftInTwips();
    void properties();

private:
    QTemporaryDir m_tmp;
    std::unique_ptr<QWidget> m_window;
    Velantro *m_v = nullptr;
};

void TestVelantro::initTestCase()
{
    QVERIFY(QFile::exists(gif("si.gif")));
    QVERIFY(m_tmp.isValid());
    // Not a picture at all.
    QFile garbage(m_tmp.filePath("basura.gif"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4000, 'x'));
    garbage.close();
    // A GIF cut off after its header.
    QFile source(gif("si.gif"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    QFile cut(m_tmp.filePath("cortado.gif"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(40));
    cut.close();
    QFile empty(m_tmp.filePath("vacio.gif"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
}

void TestVelantro::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(700, 400);
    m_v = new Velantro(m_window.get());
    m_v->setGeometry(368, 8, 65, 49);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestVelantro::cleanup()
{
    m_window.reset();
    m_v = nullptr;
}

void TestVelantro::startsEmpty()
{
    QVERIFY(m_v->isActive());
    QCOMPARE(m_v->gifPath(), QString());
    QVERIFY(showsNothing(*m_v));
    QCOMPARE(m_v->focusPolicy(), Qt::NoFocus);
}

void TestVelantro::plays_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"si.gif", "no.gif", "ani.gif", "escritor.gif", "2.gif", "5.gif"})
        QTest::newRow(name) << QString(name);
}

void TestVelantro::plays()
{
    QFETCH(QString, name);
    m_v->setGifPath(gif(name));
    QCOMPARE(m_v->gifPath(), gif(name));
    QVERIFY(m_v->isPlaying());
    QVERIFY(m_v->movie() != nullptr);
    QCOMPARE(m_v->movie()->fileName(), gif(name));
    QCOMPARE(m_v->currentFrame(), 0);
    QVERIFY(m_v->movie()->frameCount() > 1);
    // The animation runs by itself.
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() > 0, 5000);
    QVERIFY(m_v->isPlaying());
    // The picture fits the control: shown as it is when it fits, otherwise
    // shrunk to the control keeping its proportions.
    const QSize original = QImageReader(gif(name)).size();
    const QSize shown = m_v->movie()->currentPixmap().size();
    QVERIFY(!shown.isEmpty());
    QVERIFY(shown.width() <= m_v->width() && shown.height() <= m_v->height());
    if (original.width() <= m_v->width() && original.height() <= m_v->height())
        QCOMPARE(shown, original);
    else
        QCOMPARE(shown, original.scaled(m_v->size(), Qt::KeepAspectRatio));
}

void TestVelantro::sameGifPathRestarts()
{
    m_v->setGifPath(gif("si.gif"));
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 2, 5000);
    m_v->setGifPath(gif("si.gif"));
    QCOMPARE(m_v->currentFrame(), 0);
    QVERIFY(m_v->isPlaying());
    // And it goes on animating, not frozen for a loop.
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 2000);
    // Many times in a row, as fast typing does.
    for (int i = 0; i < 20; ++i) {
        m_v->setGifPath(gif("si.gif"));
        QCOMPARE(m_v->currentFrame(), 0);
        QTest::qWait(15);
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 2000);
}

void TestVelantro::otherGifPathRestarts()
{
    m_v->setGifPath(gif("si.gif"));
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 5000);
    m_v->setGifPath(gif("no.gif"));
    QCOMPARE(m_v->currentFrame(), 0);
    QCOMPARE(m_v->movie()->fileName(), gif("no.gif"));
    QVERIFY(m_v->isPlaying());
}

void TestVelantro::changedFileShownAnew()
{
    // The same path, its file replaced on disk between two settings.
    const QString path = m_tmp.filePath("cambia.gif");
    QFile::remove(path);
    QVERIFY(QFile::copy(gif("si.gif"), path));
    m_v->setGifPath(path);
    const QImage before = m_v->movie()->currentImage();
    QCOMPARE(before, QImageReader(gif("si.gif")).read());
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 5000);

    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(gif("no.gif"), path));
    m_v->setGifPath(path);
    QCOMPARE(m_v->currentFrame(), 0);
    QVERIFY(m_v->isPlaying());
    QCOMPARE(m_v->movie()->currentImage(), QImageReader(gif("no.gif")).read());
    QVERIFY(m_v->movie()->currentImage() != before);
}

void TestVelantro::emptyPathShowsNothing()
{
    m_v->setGifPath(gif("si.gif"));
    QVERIFY(m_v->isPlaying());
    m_v->setGifPath(QString());
    QCOMPARE(m_v->gifPath(), QString());
    QVERIFY(showsNothing(*m_v));
    QTest::qWait(150);
    QVERIFY(showsNothing(*m_v));
    // What is drawn is the background alone.
    const QImage drawn = m_v->grab().toImage();
    const QColor background = m_v->palette().color(QPalette::Window);
    for (int y = 0; y < drawn.height(); y += 4)
        for (int x = 0; x < drawn.width(); x += 4)
            QCOMPARE(drawn.pixelColor(x, y), background);
    // A picture again afterwards.
    m_v->setGifPath(gif("no.gif"));
    QVERIFY(m_v->isPlaying());
}

void TestVelantro::unreadableShowsNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("missing") << m_tmp.filePath("no-existe.gif");
    QTest::newRow("missing folder") << m_tmp.filePath("gifs/si.gif");
    QTest::newRow("not a GIF") << m_tmp.filePath("basura.gif");
    QTest::newRow("empty file") << m_tmp.filePath("vacio.gif");
    QTest::newRow("a folder") << m_tmp.path();
}

void TestVelantro::unreadableShowsNothing()
{
    QFETCH(QString, file);
    m_v->setGifPath(gif("si.gif"));
    QVERIFY(m_v->isPlaying());
    m_v->setGifPath(file);
    QCOMPARE(m_v->gifPath(), file);
    QVERIFY(showsNothing(*m_v));
    QTest::qWait(150);
    QVERIFY(showsNothing(*m_v));
    // Switching on does not bring a picture either.
    m_v->setActive(false);
    m_v->setActive(true);
    QVERIFY(showsNothing(*m_v));
}

void TestVelantro::truncatedGifDoesNoHarm()
{
    m_v->setGifPath(m_tmp.filePath("cortado.gif"));
    QTest::qWait(200);
    QVERIFY(!m_v->isPlaying() || m_v->currentFrame() <= 0);
    m_v->setGifPath(gif("si.gif"));
    QVERIFY(m_v->isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 5000);
}

void TestVelantro::activeSwitches()
{
    m_v->setGifPath(gif("si.gif"));
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 5000);
    m_v->setActive(false);
    QVERIFY(!m_v->isActive());
    QVERIFY(showsNothing(*m_v));
    QCOMPARE(m_v->gifPath(), gif("si.gif"));
    QTest::qWait(150);
    QVERIFY(showsNothing(*m_v));
    // Switched off twice is still off.
    m_v->setActive(false);
    QVERIFY(showsNothing(*m_v));

    m_v->setActive(true);
    QVERIFY(m_v->isActive());
    QVERIFY(m_v->isPlaying());
    QCOMPARE(m_v->currentFrame(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_v->currentFrame() >= 1, 5000);
}

void TestVelantro::activeFalseThenNewPath()
{
    // While switched off, a new picture is taken but not shown...
    m_v->setActive(false);
    m_v->setGifPath(gif("no.gif"));
    QVERIFY(showsNothing(*m_v));
    // ...until switched on again.
    m_v->setActive(true);
    QVERIFY(m_v->isPlaying());
    QCOMPARE(m_v->movie()->fileName(), gif("no.gif"));
}

void TestVelantro::leftInTwips_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("x");
    QTest::newRow("8675") << 8675.0 << 578;
    QTest::newRow("8155") << 8155.0 << 544;
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("7.5 rounds up") << 7.5 << 1;
}

void TestVelantro::leftInTwips()
{
    QFETCH(double, twips);
    QFETCH(int, x);
    m_v->setLeft(twips);
    QCOMPARE(m_v->left(), twips);
    QCOMPARE(m_v->x(), x);
    // Only the horizontal place changes.
    QCOMPARE(m_v->y(), 8);
    QCOMPARE(m_v->size(), QSize(65, 49));
}

void TestVelantro::properties()
{
    QVERIFY(m_v->setProperty("GifPath", gif("si.gif")));
    QVERIFY(m_v->property("Playing").toBool());
    QCOMPARE(m_v->property("GifPath").toString(), gif("si.gif"));
    QVERIFY(m_v->setProperty("Active", false));
    QVERIFY(!m_v->property("Playing").toBool());
    QVERIFY(m_v->setProperty("Left", 8675.0));
    QCOMPARE(m_v->x(), 578);
    QCOMPARE(m_v->property("Left").toDouble(), 8675.0);
}

QTEST_MAIN(TestVelantro)
#include "tst_velantro.moc"

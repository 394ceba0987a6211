// The typing box's font: the font list button Command6, picking a name in
// Combo1, and the size cycle of Command7.
#include "testsupport.h"

#include "exercise/fontnames.h"

#include "ui/richtextbox.h"
#include "ui/richtextview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QSet>
#include <QTest>

using namespace letro;
using namespace letro::test;

namespace {

QStringList fortyFonts()
{
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names.append(QStringLiteral("Fuente %1").arg(i, 2, 10, QLatin1Char('0')));
    // Real names among them, not in sorted order.
    names[3] = QStringLiteral("Liberation Serif");
    names[17] = QStringLiteral("DejaVu Sans Mono");
    names[0] = QStringLiteral("Zeta");
    return names;
}

RichTextBox *typingBox(const Harness &h)
{
    return h.child<RichTextBox>(QStringLiteral("RichTextBox1"));
}
QComboBox *combo1(const Harness &h)
{
    return h.child<QComboBox>(QStringLiteral("Combo1"));
}

QStringList entries(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list.append(combo->itemText(i));
    return list;
}

// The font a character at `position` is drawn in.
QFont drawnFont(const RichTextBox *box, int position)
{
    return box->formatAt(position).font().resolve(box->document()->defaultFont());
}

// The exercise "abcdefghij" with an attempt started and `count` of it typed.
void typeExercise(Harness &h, int count)
{
    h.form->Command5_Click();
    typeText(typingBox(h), QStringLiteral("abcdefghij").left(count));
    QCOMPARE(typingBox(h)->text(), QStringLiteral("abcdefghij").left(count));
}

void pick(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

class TestFont : public QObject
{
    Q_OBJECT

private:
    ProgramFolder *m_folder = nullptr;

private slots:
    void initTestCase()
    {
        m_folder = new ProgramFolder;
        m_folder->addExercise(0, 1, "abcdefghij\r\n");
    }
    void cleanupTestCase() { delete m_folder; }

    void fontListButton()
    {
        Harness h(m_folder->path());
        h.fonts = fortyFonts();
        QVERIFY(combo1(h)->isHidden());
        QCOMPARE(combo1(h)->currentText(), QStringLiteral("Fuentes"));

        h.form->Command6_Click();
        QVERIFY(!combo1(h)->isHidden());
        QCOMPARE(combo1(h)->currentText(), QStringLiteral("Arial"));
        QCOMPARE(combo1(h)->count(), 40);
        QCOMPARE(entries(combo1(h)), fortyFonts()); // in the order given, not sorted

        h.form->Command6_Click();
        QCOMPARE(combo1(h)->count(), 80);
        QCOMPARE(entries(combo1(h)), fortyFonts() + fortyFonts());
        QCOMPARE(combo1(h)->currentText(), QStringLiteral("Arial"));
    }

    void plainFamilyNames_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one per foundry")
            << QStringList{"C059 [UKWN]", "C059 [URW]", "Arial"} << QStringList{"C059", "Arial"};
        QTest::newRow("plain and by foundry")
            << QStringList{"DejaVu Sans", "DejaVu Sans [Qt]", "Z003"}
            << QStringList{"DejaVu Sans", "Z003"};
        QTest::newRow("brackets inside a name kept")
            << QStringList{"Old [Style] Sans"} << QStringList{"Old [Style] Sans"};
    }

    void plainFamilyNames()
    {
        QFETCH(QStringList, families);
        QFETCH(QStringList, names);
        QCOMPARE(letro::plainFamilyNames(families), names);
    }

    // The installed list: each family once by its plain name, symbol fonts
    // left out; the list opens wide enough for the longest name although the
    // box keeps its designed width.
    void installedFontsForSpanish()
    {
        const QStringList fonts = spanishFontFamilies();
        QCOMPARE(fonts.count(QStringLiteral("Liberation Sans")), 1);
        QCOMPARE(QSet<QString>(fonts.begin(), fonts.end()).size(), fonts.size());
        for (const QString &name : fonts) {
            QVERIFY2(!name.contains(QLatin1String(" [")), qPrintable(name));
            QVERIFY2(!QFontDatabase::writingSystems(name).contains(QFontDatabase::Symbol),
                     qPrintable(name));
        }
        QVERIFY(!fonts.contains(QStringLiteral("Standard Symbols PS")));

        Harness h(m_folder->path());
        h.fonts = fonts;
        const int designed = combo1(h)->width();
        h.form->Command6_Click();
        QCOMPARE(combo1(h)->width(), designed);
        const QFontMetrics metrics(combo1(h)->view()->font());
        for (const QString &name : fonts)
            QVERIFY2(combo1(h)->view()->minimumWidth() > metrics.horizontalAdvance(name),
                     qPrintable(name));
    }

    void fontListButtonByClick()
    {
        Harness h(m_folder->path());
        h.fonts = fortyFonts();
        h.child<QPushButton>(QStringLiteral("Command6"))->click();
        QCOMPARE(combo1(h)->count(), 40);
        QVERIFY(!combo1(h)->isHidden());
    }

    void pickingAFont_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("Liberation Serif") << 3;
        QTest::newRow("DejaVu Sans Mono") << 17;
        QTest::newRow("a name that is not installed") << 5;
        QTest::newRow("from the second copy of the list") << 43;
    }

    void pickingAFont()
    {
        QFETCH(int, index);
        Harness h(m_folder->path());
        h.fonts = fortyFonts();
        h.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.form));
        h.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.form));

        typeExercise(h, 7);
        h.form->Command6_Click();
        h.form->Command6_Click();
        combo1(h)->setFocus();
        QCOMPARE(QApplication::focusWidget(), combo1(h));

        pick(combo1(h), index);
        const QString family = fortyFonts().at(index % 40);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(typingBox(h)->formatAt(i).fontFamilies().toStringList(), QStringList{family});
            QCOMPARE(drawnFont(typingBox(h), i).families().value(0), family);
        }
        QCOMPARE(typingBox(h)->selStart(), 0);
        QCOMPARE(typingBox(h)->selLength(), 7);
        QCOMPARE(shownText(typingBox(h))->textCursor().selectionStart(), 0);
        QCOMPARE(shownText(typingBox(h))->textCursor().selectionEnd(), 7);
        QVERIFY(QApplication::focusWidget() != typingBox(h));
        // The exercise is not touched.
        QCOMPARE(h.form->textPos(), 8);
        QCOMPARE(typingBox(h)->text(), QStringLiteral("abcdefg"));
        h.form->close();
    }

    void sizeCycle()
    {
        Harness h(m_folder->path());
        QCOMPARE(h.form->fontSize(), 16);
        typeExercise(h, 5);
        const QList<int> sizes{18, 20, 22, 24, 26, 28, 30, 12, 14, 16, 18};
        for (int size : sizes) {
            h.form->Command7_Click();
            QCOMPARE(h.form->fontSize(), size);
            for (int i = 0; i < 5; ++i)
                QCOMPARE(typingBox(h)->formatAt(i).fontPointSize(), double(size));
            QCOMPARE(typingBox(h)->selStart(), 0);
            QCOMPARE(typingBox(h)->selLength(), 5);
        }
        QCOMPARE(h.form->textPos(), 6);
    }

    void sizeWithEmptyBox()
    {
        Harness h(m_folder->path());
        QVERIFY(typingBox(h)->text().isEmpty());
        h.form->Command7_Click();
        QCOMPARE(h.form->fontSize(), 18);
        h.form->Command7_Click();
        QCOMPARE(h.form->fontSize(), 20);
        QVERIFY(typingBox(h)->text().isEmpty());
        QCOMPARE(typingBox(h)->selLength(), 0);
        // The size applies to what is typed next.
        typeExercise(h, 2);
        QCOMPARE(drawnFont(typingBox(h), 0).pointSizeF(), 20.0);
        QCOMPARE(drawnFont(typingBox(h), 1).pointSizeF(), 20.0);
    }

    // Our choice where the rich-text box is free: the chosen font and size
    // belong to the box, so they survive its being emptied and the next
    // typed character takes them.
    void chosenFontAndSizeSurviveEmptyingTheBox_data()
    {
        QTest::addColumn<QString>("emptiedBy");
        QTest::newRow("next start command") << QStringLiteral("start");
        QTest::newRow("choosing an exercise") << QStringLiteral("choice");
    }

    void chosenFontAndSizeSurviveEmptyingTheBox()
    {
        QFETCH(QString, emptiedBy);
        Harness h(m_folder->path());
        h.fonts = fortyFonts();
        typeExercise(h, 4);
        h.form->Command6_Click();
        pick(combo1(h), 3); // Liberation Serif
        h.form->Command7_Click();
        h.form->Command7_Click(); // 20 points

        if (emptiedBy == QLatin1String("choice")) {
            h.form->Command3_Click(1);
            QVERIFY(typingBox(h)->text().isEmpty());
        }
        h.form->Command5_Click();
        QVERIFY(typingBox(h)->text().isEmpty());
        typeKey(typingBox(h), u'a');
        QCOMPARE(typingBox(h)->text(), QStringLiteral("a"));
        const QFont font = drawnFont(typingBox(h), 0);
        QCOMPARE(font.families().value(0), QStringLiteral("Liberation Serif"));
        QCOMPARE(font.pointSizeF(), 20.0);
    }
};

QTEST_MAIN(TestFont)
#include "tst_font.moc"

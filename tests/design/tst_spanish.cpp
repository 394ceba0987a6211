// Qt's own texts speak Spanish in the program: the message box's button, the
// number box's context menu.
#include "app/translations.h"
#include "exercise/module1.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestSpanish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(letro::installSpanishTranslations(*qApp)); }

    void messageBoxButton()
    {
        QString button;
        QTimer::singleShot(0, this, [&button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                button = ok->text();
            box->accept();
        });
        letro::ModalMessageBoxes().show(nullptr, QStringLiteral("No encuentro el archivo"));
        QCOMPARE(button.remove(QLatin1Char('&')), QStringLiteral("Aceptar"));
    }

    void numberBoxContextMenu()
    {
        QLineEdit box(QStringLiteral("1"));
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts.append(action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0));
        QVERIFY2(texts.contains(QStringLiteral("Pegar")), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("Seleccionar todo")), qPrintable(texts.join(u'|')));
    }
};

QTEST_MAIN(TestSpanish)
#include "tst_spanish.moc"

#include "testsupport.h"

#include "ui/richtextbox.h"
#include "ui/richtextview.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace letro::test {

RichTextView *shownText(const RichTextBox *box)
{
    return box->findChild<RichTextView *>();
}

namespace {

// The three type folders, spelt here as the program must find them, not
// taken from the code under test.
QString typeFolderName(int type)
{
    static const char *const names[] = {"Palabras", "Frase corta", "Frase larga"};
    return QString::fromLatin1(names[type]);
}

} // namespace

ProgramFolder::ProgramFolder()
{
    QDir dir(m_dir.path());
    for (int type = 0; type < 3; ++type)
        dir.mkpath(typeFolderName(type));
    dir.mkpath(QStringLiteral("gifs"));
    const QString source =
        qEnvironmentVariable("LETRO_SOURCE_DIR") + QStringLiteral("/assets/gifs");
    const QStringList gifs = QDir(source).entryList({QStringLiteral("*.gif")}, QDir::Files);
    for (const QString &gif : gifs)
        QFile::copy(source + QLatin1Char('/') + gif, dir.filePath(QStringLiteral("gifs/") + gif));
}

QString ProgramFolder::typeFolder(int type) const
{
    return m_dir.path() + QLatin1Char('/') + typeFolderName(type);
}

QString ProgramFolder::recording(int type, int number) const
{
    return typeFolder(type) + QStringLiteral("/%1.wav").arg(number);
}

void ProgramFolder::addExercise(int type, int number, const QByteArray &bytes, bool withRecording)
{
    const QString base = typeFolder(type) + QLatin1Char('/') + QString::number(number);
    QFile text(base);
    if (text.open(QIODevice::WriteOnly))
        text.write(bytes);
    if (withRecording)
        writeWave(base + QStringLiteral(".wav"));
}

void ProgramFolder::writeWave(const QString &path, int milliseconds)
{
    const quint32 rate = 22050;
    const quint32 samples = rate * quint32(milliseconds) / 1000;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i)
        out << qint16((i / 25) % 2 ? 8000 : -8000); // a 441 Hz square tone
}

Harness::Harness(const QString &programFolder, bool load, StartChoice start)
{
    Services services;
    services.start = start;
    services.programFolder = programFolder;
    services.sound = sound;
    services.messages = messages;
    services.fontList = [this] { return fonts; };
    services.screenTwips = [] { return QSize(15360, 11520); };
    form = new Form1(services);
    if (load)
        form->Form_Load();
}

Harness::~Harness()
{
    delete form;
}

QLineEdit *Harness::text1() const
{
    return child<QLineEdit>(QStringLiteral("Text1"));
}

int Harness::number() const
{
    return form->exerciseNumbers().at(form->exerciseType());
}

void Harness::forget()
{
    sound->played.clear();
    messages->shown.clear();
}

namespace {

Qt::Key keyFor(QChar c)
{
    const QChar upper = c.toUpper();
    if (upper.unicode() < 0x80 && upper.isPrint())
        return Qt::Key(upper.unicode());
    return Qt::Key_unknown;
}

} // namespace

void typeKey(QWidget *widget, QChar character)
{
    const QString text(character);
    QKeyEvent press(QEvent::KeyPress, keyFor(character), Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, keyFor(character), Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text)
        typeKey(widget, c);
}

QString x11KeyText(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    default:
        if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
            return QString(QChar(key - Qt::Key_A + 1));
        return QString();
    }
}

void pressKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    const QString sent = text.isNull() ? x11KeyText(key, modifiers) : text;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, sent);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, sent);
    QApplication::sendEvent(widget, &release);
}

void commitText(QWidget *widget, const QString &commit)
{
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(widget, &event);
}

} // namespace letro::test

// The help window "Ayuda de Letro": how to do an exercise, what the colours
// and the messages mean, the keys, and how a teacher adds and records
// exercises. The page is Spanish HTML in the program's resources, shown with
// Qt's rich-text browser, read-only, with a caret the keys move so that it
// can be read line by line; its pictures are the buttons' own, from the same
// resources, each with a text alternative (its alt text) that names the
// button. Nothing is fetched from anywhere else.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace letro {

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // The help page in the resources.
    static constexpr const char *PageUrl = "qrc:/help/ayuda.html";

    // A window of its own that stays in front of `mainWindow` and closes with it.
    explicit HelpWindow(QWidget *mainWindow);

    QTextBrowser *browser() const { return m_browser; }

signals:
    // The "Acentos" button or F2: show or hide the accent pad.
    void accentPadToggled();
    // The "Mi progreso" button or F3: open the pupil's progress window.
    void progressRequested();

private:
    QTextBrowser *m_browser;
};

} // namespace letro

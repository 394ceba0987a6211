// Aids beside the main window, for pupils who would otherwise get lost:
//
//   F1        the help window
//   F2        the accent pad "Acentos" (shown or hidden)
//   F5        the loudspeaker: the dictation again (Command1_Click)
//   Shift+F5  the same, slowly (N.lento.wav, or N.wav when there is none)
//
// and balloons (tooltips the program shows) where children get lost: a
// character key while the typing box is disabled points at the fountain pen;
// one while the box is enabled but another control has the focus points at
// the box; a letter whose case says Caps Lock is on says so. Each balloon
// shows at most once per attempt (counted from each time the typing box is
// enabled or disabled) and is gone at the next key.
//
// None of this touches the exercise state, the judging, Label1 or the
// window's controls: the keys run what the loudspeaker runs, the pad types
// through the typing box's own key path, and the balloons only watch keys
// (with an application-wide event filter, so that they see them whichever
// inner widget receives them) and never consume one.
#pragma once

#include "app/helpwindow.h"
#include "ui/accentpad.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QWidget;

namespace letro {

class Form1;

class Aids : public QObject
{
    Q_OBJECT

public:
    explicit Aids(Form1 *form);
    ~Aids() override;

    // The balloons' texts.
    static QString penHint() { return QStringLiteral("Pulsa la pluma para empezar"); }
    static QString typingBoxHint() { return QStringLiteral("Haz clic aquí para escribir"); }
    static QString capsLockHint() { return QStringLiteral("Bloq Mayús está activado"); }

    void showHelp();
    void toggleAccentPad();
    // Made the first time they are shown.
    AccentPad *accentPad() const { return m_pad; }
    HelpWindow *helpWindow() const { return m_help; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Hint { Pen, TypingBox, CapsLock, HintCount };

    bool isNewKey(QObject *receiver, QEvent *event);
    void keyArrived(QWidget *receiver, const QString &characters, Qt::KeyboardModifiers modifiers);
    bool isOwnInput(const QWidget *receiver, const QString &characters) const;
    void showHint(Hint hint, QWidget *at);
    void hideHint();

    Form1 *m_form;
    QWidget *m_typingBox;
    QWidget *m_pen;
    QWidget *m_numberBox;
    QWidget *m_fontBox;
    QPointer<AccentPad> m_pad;
    QPointer<HelpWindow> m_help;

    std::array<bool, HintCount> m_shown{};
    QString m_balloon; // the text of the balloon up, if any

    // The key event last looked at, and where: the same event goes on to
    // the receiver's parents when it is ignored, and may be handed on to
    // an inner widget of the typing box.
    const QEvent *m_lastKey = nullptr;
    QPointer<QObject> m_lastReceiver;
    QString m_lastText;
};

} // namespace letro

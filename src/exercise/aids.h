// Aids beside the main window, for pupils who would otherwise get lost:
//
//   F1        the help window
//   F2        the accent pad "Acentos" (shown or hidden)
//   F3        the pupil's progress window "Mi progreso"
//   F5        the loudspeaker: the dictation again (Command1_Click)
//   Shift+F5  the same, slowly (N.lento.wav, or N.wav when there is none)
//   Ctrl+Return         the fountain pen (start typing)
//   Alt+Right/Alt+Left  the next and the previous exercise
//   Alt+1, Alt+2, Alt+3 the three types
//   Ctrl+' and a vowel, Ctrl+" and u, Ctrl+~ and n, Ctrl+?, Ctrl+!
//             á é í ó ú, ü, ñ, ¿, ¡ typed into the typing box (AccentKeyFilter)
//   Return    presses the focused button, as Space does
//
// and balloons (tooltips the program shows) where children get lost: a
// character key while the typing box is disabled points at the fountain pen;
// one while the box is enabled but another control has the focus points at
// the box; a letter whose case says Caps Lock is on says so. Each balloon
// shows at most once per attempt (counted from each time the typing box is
// enabled or disabled). It stays up long enough for a child to read it
// (HintTimer, four seconds) unless the situation it names is gone first: the
// box opened or shut (the pen), the box focused, Caps Lock off (a letter in
// the case Shift gives, or the Caps Lock key). Space or Return pressing a
// focused button is that button's key, not a stray letter: no balloon.
//
// None of this touches the exercise state, the judging, Label1 or the
// window's controls: the keys run what the loudspeaker runs, the pad types
// through the typing box's own key path, and the balloons only watch keys
// (with an application-wide event filter, so that they see them whichever
// inner widget receives them) and never consume one.
#pragma once

#include "app/helpwindow.h"
#include "progressview/progresswindow.h"
#include "ui/accentpad.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QTimer;
class QWidget;

namespace letro {

class Form1;

class Aids : public QObject
{
    Q_OBJECT

public:
    explicit Aids(Form1 *form);
    ~Aids() override;

    // The balloons' texts. Each names the keys as well as the mouse: the
    // pen's own key, and Tab, which reaches the typing box from any control.
    static QString penHint() { return QStringLiteral("Pulsa la pluma (Ctrl+Intro) para empezar"); }
    static QString typingBoxHint()
    {
        return QStringLiteral("Para escribir, haz clic en el recuadro blanco o pulsa Tab hasta "
                              "llegar a él");
    }
    static QString capsLockHint() { return QStringLiteral("Bloq Mayús está activado"); }

    // The keys of the main window's buttons, named in their tooltips.
    struct ButtonKey
    {
        const char *name; // the button's objectName
        QString toolTip;
        QList<QKeySequence> keys;
    };
    static QList<ButtonKey> buttonKeys();

    // How long a balloon stays up at most.
    static constexpr int HintMilliseconds = 4000;

    void showHelp();
    void toggleAccentPad();
    // Opens "Mi progreso", reading the results again.
    void showProgress();
    // Made the first time they are shown.
    AccentPad *accentPad() const { return m_pad; }
    HelpWindow *helpWindow() const { return m_help; }
    progressview::ProgressWindow *progressWindow() const { return m_progress; }

public slots:
    // HintTimer's timeout: the balloon up has been read.
    void hintTimeUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Hint { Pen, TypingBox, CapsLock, HintCount };

    bool isNewKey(QObject *receiver, QEvent *event);
    void keyArrived(QWidget *receiver, const QString &characters, Qt::KeyboardModifiers modifiers);
    bool isOwnInput(const QWidget *receiver, const QString &characters) const;
    void showHint(Hint hint, QWidget *at);
    void hideHint();
    void hideHintIf(Hint hint);

    Form1 *m_form;
    QWidget *m_typingBox;
    QWidget *m_pen;
    QWidget *m_numberBox;
    QWidget *m_fontBox;
    QPointer<AccentPad> m_pad;
    QPointer<HelpWindow> m_help;
    QPointer<progressview::ProgressWindow> m_progress;

    std::array<bool, HintCount> m_shown{};
    QString m_balloon;     // the text of the balloon up, if any
    Hint m_up = HintCount; // which balloon is up, if any
    QTimer *m_hintTimer;

    // The key event last looked at, and where: the same event goes on to
    // the receiver's parents when it is ignored, and may be handed on to
    // an inner widget of the typing box.
    const QEvent *m_lastKey = nullptr;
    QPointer<QObject> m_lastReceiver;
    QString m_lastText;
};

} // namespace letro

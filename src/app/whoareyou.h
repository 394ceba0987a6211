// "¿Quién eres?": on an account a class shares, the teacher's class list
// names the pupils, and the pupil picks their own name once, when the main
// window opens, so that their results are kept under it. Without a list (or
// with one that cannot be read) nothing is asked and the desktop user is the
// pupil.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace letro {

namespace progress {
class ProgressSession;
}

class WhoAreYouDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WhoAreYouDialog(const QStringList &names, QWidget *parent = nullptr);

    static QString title() { return QStringLiteral("¿Quién eres?"); }
    // What the screen reader says when the question comes up.
    static QString spokenQuestion()
    {
        return QStringLiteral("¿Quién eres? Elige tu nombre con las flechas y pulsa Intro.");
    }
    // Said when the pupil closes the question without a name.
    static QString unnamedNote(const QString &pupil)
    {
        return QStringLiteral("No has elegido tu nombre: tus resultados se guardan como «%1».")
            .arg(pupil);
    }

    // The name chosen; empty until the pupil accepts one.
    QString chosenName() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidget *m_names;
    QPushButton *m_accept;
};

// Asks who is typing over `window` when the class list at `classListPath`
// has names, and makes the name chosen the session's pupil. Closing the
// question without a name keeps the desktop user, and says so. Returns true
// when the question was asked.
bool askWhoIsTyping(QWidget *window, progress::ProgressSession &session,
                    const QString &classListPath);

} // namespace letro

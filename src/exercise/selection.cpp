// Choosing the exercise type and number. Every choice stops the attempt
// under way and loads the chosen exercise; the clock keeps running.
#include "exercise/form1.h"

#include "checker/characterkeys.h"
#include "exercise/exercisenumber.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace letro {

void Form1::stopAttempt()
{
    // Left for another exercise: the pupil's history keeps it as unfinished.
    recordAttempt(false);
    // A shut box cannot keep the focus, and Qt would hand it to the next
    // control in the tab order (the next-exercise button), which a screen
    // reader then reads instead of the choice: the pen, which opens the box
    // again, takes it.
    const QWidget *focused = QApplication::focusWidget();
    if (focused && (focused == RichTextBox1 || RichTextBox1->isAncestorOf(focused)))
        Command5->setFocus(Qt::OtherFocusReason);
    RichTextBox1->setEnabled(false);
    RichTextBox1->setText(QString());
    Velantro1->setActive(false);
}

void Form1::Command4_Click(int index)
{
    stopAttempt();
    showType(index);
    showNumberInText1(ExerciseNumber[ExerciseType]);
    LoadExercise();
}

void Form1::showType(int index)
{
    Label3->setText(typeName(index));
    ExerciseType = quint8(index);
    // A click toggles the button it presses: the chosen type stays the
    // one checked, whichever way it was chosen.
    for (size_t i = 0; i < Command4.size(); ++i)
        Command4[i]->setChecked(int(i) == index);
    ExerciseFolder = AppFolder + QLatin1Char('/') + Label3->text();
}

void Form1::Command3_Click(int index)
{
    stopAttempt();
    qint16 &number = ExerciseNumber[ExerciseType];
    if (index == 0) {
        // Past 32767 the step is refused; the current exercise is loaded again.
        if (number < MaxExerciseNumber) {
            ++number;
            showNumberInText1(number);
        }
    } else if (number > 1) {
        --number;
        showNumberInText1(number);
    }
    LoadExercise();
}

bool Form1::Text1_Keypress(QChar typed)
{
    // Only digits and Backspace reach the number box by typing.
    return typed == QChar(8) || (typed >= u'0' && typed <= u'9');
}

void Form1::Text1_Change()
{
    // Setting the text to the value it already has is no change. Qt's line
    // edit reports a paste of the same digits over them as one; it is not.
    if (Text1->text() == m_text1Seen)
        return;
    m_text1Seen = Text1->text();
    stopAttempt();
    ExerciseNumber[ExerciseType] = qint16(exerciseNumberFromText(Text1->text()));
    if (ExerciseNumber[ExerciseType] > 0)
        LoadExercise();
}

void Form1::selectNumberOnEntry()
{
    if (!m_selectText1OnEntry)
        return;
    m_selectText1OnEntry = false;
    Text1->selectAll();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1) {
        if (comesAfterFocusReport(event->type()))
            selectNumberOnEntry();
        switch (event->type()) {
        case QEvent::KeyPress: {
            // Only character keys are filtered; keys that give no character
            // (Delete, arrows, Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+Z, Tab) keep their
            // ordinary editing effect, whatever control character X11 gives them.
            const auto *key = static_cast<QKeyEvent *>(event);
            for (QChar c : characterKeys(key->text(), key->modifiers())) {
                if (!Text1_Keypress(c))
                    return true;
            }
            break;
        }
        case QEvent::InputMethod: {
            const auto *input = static_cast<QInputMethodEvent *>(event);
            for (QChar c : input->commitString()) {
                if (!Text1_Keypress(c))
                    return true;
            }
            break;
        }
        case QEvent::FocusIn: {
            // Entering the number box selects its number, as desktop number
            // fields do, so that what the pupil types replaces it ("18" gives
            // 18, not 218 and a long search down). The click that enters the
            // box selects the number once the button is released, instead of
            // placing the caret; the next click places it.
            const auto *focus = static_cast<QFocusEvent *>(event);
            const NumberBoxEntry entry = numberBoxEntry(focus->reason(), Text1->hasSelectedText());
            m_selectText1OnRelease = entry == NumberBoxEntry::SelectOnRelease;
            if (entry != NumberBoxEntry::SelectAfterFocusReport)
                break;
            // The line edit would select it itself on Tab, inside this
            // event, before Qt tells screen readers that the box has the
            // focus: Orca then reads the selection ("1 selected") and the box
            // with its selection again. The box is told of a focus that
            // selects nothing, and the number is selected once the focus has
            // been reported: at the next event loop turn, or before a key, a
            // click or a paint that comes first.
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(Text1, &plain);
            m_selectText1OnEntry = true;
            QMetaObject::invokeMethod(this, &Form1::selectNumberOnEntry, Qt::QueuedConnection);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (m_selectText1OnRelease) {
                m_selectText1OnRelease = false;
                Text1->selectAll();
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace letro

// Choosing the exercise type and number. Every choice stops the attempt
// under way and loads the chosen exercise; the clock keeps running.
#include "exercise/form1.h"

#include "checker/characterkeys.h"
#include "exercise/exercisenumber.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace letro {

void Form1::stopAttempt()
{
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

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1) {
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
        case QEvent::FocusIn:
            // Entering the number box selects its number, as desktop number
            // fields do, so that what the pupil types replaces it ("18" gives
            // 18, not 218 and a long search down). Tab does so by itself; the
            // click that enters the box selects the number once the button is
            // released, instead of placing the caret. The next click places it.
            m_selectText1OnRelease =
                static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
            break;
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

// Choosing the exercise type and number. Every choice stops the attempt
// under way and loads the chosen exercise; the clock keeps running.
#include "exercise/form1.h"

#include "exercise/exercisenumber.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

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
    Label3->setText(typeName(index));
    ExerciseType = quint8(index);
    ExerciseFolder = AppFolder + QLatin1Char('/') + Label3->text();
    showNumberInText1(ExerciseNumber[ExerciseType]);
    LoadExercise();
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
    stopAttempt();
    ExerciseNumber[ExerciseType] = qint16(exerciseNumberFromText(Text1->text()));
    if (ExerciseNumber[ExerciseType] > 0)
        LoadExercise();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1) {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                return false; // moving the focus is not typing
            const QString text = key->text();
            if (!text.isEmpty() && !Text1_Keypress(text.at(0)))
                return true;
        } else if (event->type() == QEvent::InputMethod) {
            const auto *input = static_cast<QInputMethodEvent *>(event);
            for (QChar c : input->commitString()) {
                if (!Text1_Keypress(c))
                    return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace letro

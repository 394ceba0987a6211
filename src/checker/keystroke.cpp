// The keystroke checker: every character key typed into the typing box is
// judged against the next character of the exercise before the box inserts
// it. The checker only sets the selection and its colour; the box then puts
// the typed character over that selection.
#include "exercise/form1.h"

#include "checker/judgekey.h"
#include "scoring/score.h"
#include "scoring/spoken.h"
#include "ui/accessibility.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QLabel>
#include <QPushButton>

#include <limits>

namespace letro {

void Form1::correctKeyFeedback()
{
    Velantro1->setGifPath(m_services.programFolder + QStringLiteral("/gifs/si.gif"));
    Velantro1->setAccessibleName(keyPictureName(true));
}

void Form1::wrongKeyFeedback(Mistake mistake)
{
    m_services.sound->alert();
    Velantro1->setGifPath(m_services.programFolder + QStringLiteral("/gifs/no.gif"));
    Velantro1->setAccessibleName(keyPictureName(false));
    Label1->setText(mistakeMessage(mistake));
    // Heard as well as seen, the focus staying in the typing box.
    announce(Label1, Label1->text());
}

void Form1::richtextbox1_KeyPress(QChar typed)
{
    Label1->setText(QString());
    const KeyJudgement key = judgeKey(ExpectedText, TextPos, MistakePending, typed);

    if (key.correct) {
        correctKeyFeedback();
        showFigure(Figure::Hits, incrementedCaption(Command8[0]->text()));
        RichTextBox1->setSelStart(TextPos - 1);
        RichTextBox1->setSelLength(1);
        RichTextBox1->setSelAccepted(true);
        RichTextBox1->setSelColor(key.colour);
        RichTextBox2->setSelColor(key.colour);
        MistakePending = false;
        RichTextBox2->setSelStart(RecordPos - 1);
        RichTextBox2->setSelLength(1);
        RichTextBox2->setSelAccepted(true);
        RichTextBox2->setSelText(QString(typed));
        if (key.finishes) {
            RichTextBox1->setSelText(QString(typed));
            FinishExercise();
        }
        RecordPos = saturatingIncrement(RecordPos, std::numeric_limits<qint32>::max());
        TextPos = saturatingIncrement(TextPos, std::numeric_limits<qint32>::max());
        return;
    }

    wrongKeyFeedback(key.mistake);
    if (key.countsMistake) {
        showFigure(Figure::Mistakes, incrementedCaption(Command8[1]->text()));
        noteMistake(typed, key.mistake); // kept in memory until the attempt ends
    }
    RichTextBox1->setSelStart(TextPos - 1);
    RichTextBox1->setSelLength(1);
    RichTextBox1->setSelColor(key.colour);
    MistakePending = true;
}

void Form1::RichTextBox1_KeyDown(int &keyCode, Qt::KeyboardModifiers)
{
    // No deleting and no line breaks: what is typed stays typed.
    if (keyCode == RichTextBox::KeyBack || keyCode == RichTextBox::KeyReturn ||
        keyCode == RichTextBox::KeyDelete)
        keyCode = 0;
}

void Form1::RichTextBox2_KeyDown(int &keyCode, Qt::KeyboardModifiers)
{
    // The record box is read-only for the pupil.
    keyCode = 0;
}

} // namespace letro

// Starting an attempt: whatever was typed of an unfinished attempt is thrown
// away (the pupil's history keeps it as left unfinished), the counters and the clock go back to
// zero and the typing box opens.
#include "exercise/form1.h"

#include "scoring/spoken.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QPushButton>
#include <QTimer>

namespace letro {

void Form1::ResetAttempt()
{
    RichTextBox1->setText(QString());
    TextPos = 1;
    const int recorded = RecordPos - RecordStart;
    RecordPos = RecordStart;
    RichTextBox2->setSelStart(RecordPos - 1);
    RichTextBox2->setSelLength(recorded);
    RichTextBox2->setSelText(QString());
    RichTextBox1->setEnabled(false);
}

void Form1::Command5_Click()
{
    openAttempt();
    ResetAttempt();
    // Every attempt starts clean: a red letter left pending in an abandoned
    // attempt would otherwise turn the first right key of this one magenta
    // and keep its first wrong key from being counted.
    MistakePending = false;
    showFigure(Figure::Hits, QStringLiteral("0"));
    showFigure(Figure::Mistakes, QStringLiteral("0"));
    // Starting the timer again also restarts its one-second phase.
    Timer1->start();
    ElapsedSeconds = 0;
    RichTextBox1->setEnabled(true);
    RichTextBox1->setFocus();
    Velantro1->setActive(true);
}

} // namespace letro

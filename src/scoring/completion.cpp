// Finishing an exercise: the clock stops, the verdict goes to the tallies and
// the result picture, the pupil is told, and a summary line closes the
// exercise's line in the record box.
#include "exercise/form1.h"

#include "scoring/score.h"
#include "scoring/spoken.h"
#include "ui/accessibility.h"
#include "ui/richtextbox.h"
#include "ui/twips.h"
#include "ui/velantro.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace letro {

namespace {

// Qt holds a line break as one position in the record box.
constexpr int LineBreakPositions = 1;

} // namespace

void Form1::FinishExercise()
{
    Timer1->stop();
    Velantro1->setActive(false);

    const qint64 mistakes = captionValue(Command8[1]->text());
    const double sizeButtonRight = pixelsToTwips(Command7->x()) + pixelsToTwips(Command7->width());
    if (mistakes == 0) {
        CleanExercises = saturatingIncrement(CleanExercises, std::numeric_limits<qint32>::max());
        showFigure(Figure::CleanTally, tallyCaption(CleanExercises, true));
    } else {
        FaultyExercises = saturatingIncrement(FaultyExercises, std::numeric_limits<qint32>::max());
    }
    Velantro2->setLeft(verdictLeft(sizeButtonRight, mistakes));
    const QString picture = verdictPicture(mistakes);
    Velantro2->setGifPath(picture.isEmpty() ? QString() : AppFolder + picture);
    Velantro2->setAccessibleName(verdictName(mistakes));
    if (mistakes != 0)
        showFigure(Figure::FaultyTally, tallyCaption(FaultyExercises, false));

    // The new tally, the result picture and the stopped clock are on screen
    // while the message is up.
    repaint();
    m_services.messages->show(this, QStringLiteral("Fin del ejercicio"));

    RichTextBox1->setText(QString());
    RichTextBox1->setEnabled(false);
    TextPos = 0;

    RichTextBox2->setSelStart(RecordPos);
    RichTextBox2->setSelColor(0);
    const QString summary =
        summaryLine(Label2->text(), Command8[0]->text(), Command8[1]->text(), ElapsedSeconds);
    RichTextBox2->setSelText(summary);
    // The verdict and the figures, heard once the message box is closed.
    announce(this, finishAnnouncement(mistakes, summary));
    RichTextBox2->setSelStart(RecordPos + int(summary.size()));
    // The next attempt is recorded just past the line break: one position for
    // the break, one because positions count from 1.
    RecordPos = RichTextBox2->selStart() + LineBreakPositions + 1;
    RecordStart = RecordPos;
    RichTextBox2->setSelText(QStringLiteral("\n"));
    // The pupil's history keeps the attempt with the summary's figures.
    recordAttempt(true);

    Timer2->start();
}

} // namespace letro

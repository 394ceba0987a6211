// The pupil's history: every attempt the pupil typed something into is handed
// to the store once it ends, finished or left for another exercise, a new
// start or the window's closing. The key path only appends the wrong key to a
// list in memory; the store works on its own thread. Without a session
// (Services::progress) nothing is kept.
#include "exercise/form1.h"

#include "exercise/progressnote.h"
#include "progress/progresssession.h"
#include "scoring/score.h"

#include <QLabel>
#include <QPushButton>

namespace letro {

void Form1::watchProgressStore()
{
    if (m_services.progress)
        connect(m_services.progress.get(), &progress::ProgressSession::problem, this,
                &Form1::showStoreProblem);
}

void Form1::openAttempt()
{
    recordAttempt(false); // the attempt under way, left for a new start
    m_attemptMistakes.clear();
    m_attemptOpen = true;
}

void Form1::noteMistake(QChar typed, Mistake kind)
{
    const int position = TextPos - 1;
    progress::MistakeRecord mistake;
    mistake.position = position;
    if (position >= 0 && position < ExpectedText.size())
        mistake.expected = ExpectedText.at(position);
    mistake.typed = typed;
    mistake.kind = kind;
    m_attemptMistakes.append(mistake);
}

void Form1::recordAttempt(bool finished)
{
    if (!m_attemptOpen)
        return;
    m_attemptOpen = false;
    QList<progress::MistakeRecord> mistakes;
    mistakes.swap(m_attemptMistakes);
    if (!m_services.progress)
        return;
    // The figures of the summary line, read as it reads them.
    const SummaryFigures figures =
        summaryFigures(Label2->text(), Command8[0]->text(), Command8[1]->text(), ElapsedSeconds);
    // A pupil who typed nothing made no attempt.
    if (figures.hits == 0 && figures.mistakes == 0)
        return;
    progress::AttemptRecord attempt = progress::newAttempt(
        m_services.progress->pupil(), typeName(ExerciseType), ExerciseNumber[ExerciseType],
        ExpectedText, finished, figures.seconds, figures.hits, figures.mistakes, mistakes);
    // The summary's rate counts the clock's ticks, one more than the seconds
    // shown once the clock has ticked: the history keeps the rate shown.
    attempt.keysPerMinute = figures.keysPerMinute;
    m_services.progress->recorder()->record(attempt);
}

void Form1::showStoreProblem(const QString &message)
{
    // Each trouble once in a run of the window: the pupil is told, then left
    // in peace.
    if (message.isEmpty() || m_storeProblemsShown.contains(message))
        return;
    m_storeProblemsShown.append(message);
    showProgressNote(this, message);
}

} // namespace letro

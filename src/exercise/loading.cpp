// Loading an exercise: its text file's first line becomes ExpectedText and
// its recording starts; at start-up, the one chosen on the command line (or
// exercise 1 of "Palabras") is loaded quietly. A missing exercise is reported and the search goes
// down to lower numbers; one search gives one message, however many numbers
// it steps over.
#include "exercise/form1.h"

#include "checker/characterkeys.h"
#include "exercise/exercisefile.h"
#include "exercise/exercisenumber.h"
#include "exercise/sharednames.h"
#include "exercise/startchoice.h"
#include "scoring/spoken.h"
#include "ui/accessibility.h"

#include <QDir>
#include <QLineEdit>

namespace letro {

QString Form1::exerciseTextPath() const
{
    return ExerciseFolder + QLatin1Char('/') + QString::number(ExerciseNumber[ExerciseType]);
}

QString Form1::recordingPath() const
{
    return recordingPathFor(exerciseTextPath());
}

bool Form1::exercisePresent(int number) const
{
    // Present when an ordinary file bears the number's name and that name is
    // exactly the number the number box shows ("05" is not exercise 5).
    const QString name = QString::number(number);
    return name == spelledExerciseNumber(Text1->text()) &&
           isOrdinaryFile(ExerciseFolder + QLatin1Char('/') + name);
}

namespace {

// An exercise is usable when its first line could be read and every
// character in it can be typed: a line holding a tab or an emoji could
// never be finished, so it is refused like a file that cannot be read.
bool usable(const ExerciseText &file)
{
    return file.status == ReadStatus::Ok && untypableCharacters(file.text).isEmpty();
}

} // namespace

void Form1::showNumberInText1(int number)
{
    // Setting a different text runs Text1_Change at once; the same text does not.
    Text1->setText(QString::number(number));
}

void Form1::LoadExercise()
{
    // Showing a lower number in Text1 runs Text1_Change, which asks for that
    // exercise to be loaded. Rather than nest one run inside the other (one
    // level per missing number), that request is noted and this loop takes it.
    if (m_loading) {
        m_reloadRequested = true;
        return;
    }
    m_loading = true;
    // Only the first missing number of a search is reported: a pupil who
    // types "500" into a folder ending at 80 gets one message, not 420 boxes
    // in a row that Escape only moves on to the next of.
    bool reported = false;
    bool found = false;
    do {
        m_reloadRequested = false;
        const int number = ExerciseNumber[ExerciseType];
        const ExerciseText file =
            exercisePresent(number) ? readExerciseFile(exerciseTextPath()) : ExerciseText{};
        if (usable(file)) {
            ExpectedText = file.text;
            found = true;
            break;
        }
        // Missing, unreadable, empty or impossible to type: the pupil is
        // told once, and the search goes on below.
        if (!reported) {
            reported = true;
            m_services.messages->show(this, QStringLiteral("No encuentro el archivo"));
        }
        if (number == 0 && Text1->text().isEmpty()) {
            // The number box was erased: nothing to go down from.
            showNumberInText1(0);
            break;
        }
        if (number > MinExerciseNumber)
            ExerciseNumber[ExerciseType] = qint16(number - 1);
        showNumberInText1(ExerciseNumber[ExerciseType]);
    } while (m_reloadRequested);
    m_loading = false;
    m_services.sound->play(recordingPath());
    // A pupil who cannot see the number box hears which exercise it is.
    if (found)
        announce(this, choiceAnnouncement(typeName(ExerciseType), ExerciseNumber[ExerciseType]),
                 Announcement::Choice);
}

void Form1::startOnChoice()
{
    const StartChoice &start = m_services.start;
    if (start.type != ExerciseType)
        showType(start.type);
    QList<int> present;
    if (start.number != 0) {
        const QStringList names = QDir(ExerciseFolder).entryList(QDir::Files);
        for (const QString &name : names) {
            bool ok = false;
            const int number = name.toInt(&ok);
            if (ok && name == QString::number(number) &&
                isOrdinaryFile(ExerciseFolder + QLatin1Char('/') + name))
                present.append(number);
        }
    }
    ExerciseNumber[ExerciseType] = qint16(startingNumber(start.number, present));
    // The number box shows it without asking for a load: the quiet load
    // that follows is the only one.
    m_text1Seen = QString::number(ExerciseNumber[ExerciseType]);
    Text1->setText(m_text1Seen);
}

void Form1::quietLoad()
{
    const int number = ExerciseNumber[ExerciseType];
    if (!exercisePresent(number))
        return;
    const ExerciseText file = readExerciseFile(exerciseTextPath());
    if (usable(file))
        ExpectedText = file.text;
}

} // namespace letro

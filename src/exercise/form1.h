// Form1, the main exercise window.
//
// The pupil chooses an exercise (type buttons Command4, next/previous
// Command3, or a number typed into Text1), hears it (Command1), starts an
// attempt (Command5) and types it into the typing box RichTextBox1. Every
// character key is judged at once by richtextbox1_KeyPress against the next
// character of ExpectedText: right keys are written blue (magenta after a
// mistake at that place) and copied into the record box RichTextBox2, wrong
// keys stay red and get a Spanish message in Label1. The right key at the last
// place runs FinishExercise: verdict, tallies, "Fin del ejercicio" and a
// summary line in the record box.
//
// Where things live:
//   src/ui/form1_layout.cpp      the window as designed: every control, its
//                                text, font, geometry, colours and tab order
//   src/exercise/form1.cpp       construction, Form_Load, the record view
//                                (Command2) and the centring of the window
//   src/exercise/loading.cpp     LoadExercise and the quiet load at start-up
//   src/exercise/selection.cpp   Command3, Command4, Text1 (choosing)
//   src/exercise/sound.cpp       Command1 and the sound player
//   src/exercise/font.cpp        Command6, Combo1, Command7 (typing-box font)
//   src/exercise/attempt.cpp     Command5 and ResetAttempt
//   src/exercise/recording.cpp   each attempt handed to the pupil's history
//   src/checker/keystroke.cpp    the keystroke checker and the key filters
//   src/scoring/completion.cpp   FinishExercise
//   src/scoring/clock.cpp        Timer1 (seconds) and Timer2 (late emptying)
//
// All exercise state is plain members of this class, each also readable as a
// Qt property under its own name. The tallies of finished exercises
// (FaultyExercises, CleanExercises) are members shown in their buttons'
// captions; the per-attempt counters of hits and mistakes live only as
// decimal text in the captions of Command8(0) and Command8(1). Positions
// (TextPos, RecordPos, RecordStart) are 1-based; the rich-text boxes count
// selections from 0.
#pragma once

#include "progress/attemptrecord.h"
#include "services.h"

#include <QList>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace letro {

class RichTextBox;
class Velantro;
enum class Mistake;
enum class Figure;

class Form1 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString ExpectedText READ expectedText)
    Q_PROPERTY(int TextPos READ textPos)
    Q_PROPERTY(int RecordPos READ recordPos)
    Q_PROPERTY(int RecordStart READ recordStart)
    Q_PROPERTY(bool MistakePending READ mistakePending)
    Q_PROPERTY(int FontSize READ fontSize)
    Q_PROPERTY(int ElapsedSeconds READ elapsedSeconds)
    Q_PROPERTY(QString AppFolder READ appFolder)
    Q_PROPERTY(QString ExerciseFolder READ exerciseFolder)
    Q_PROPERTY(QList<int> ExerciseNumber READ exerciseNumbers)
    Q_PROPERTY(int ExerciseType READ exerciseType)
    Q_PROPERTY(int FaultyExercises READ faultyExercises)
    Q_PROPERTY(int CleanExercises READ cleanExercises)

public:
    explicit Form1(const Services &services = Services(), QWidget *parent = nullptr);
    ~Form1() override;

    // Shows the main window, creating and loading it first when it does not
    // exist yet (the introduction window's "CONTINUAR").
    static Form1 *showMainWindow(const Services &services = Services());

    QString expectedText() const { return ExpectedText; }
    int textPos() const { return TextPos; }
    int recordPos() const { return RecordPos; }
    int recordStart() const { return RecordStart; }
    bool mistakePending() const { return MistakePending; }
    int elapsedSeconds() const { return ElapsedSeconds; }
    QString appFolder() const { return AppFolder; }
    QString exerciseFolder() const { return ExerciseFolder; }
    int faultyExercises() const { return FaultyExercises; }
    int cleanExercises() const { return CleanExercises; }
    int fontSize() const { return FontSize; }
    QList<int> exerciseNumbers() const;
    int exerciseType() const { return ExerciseType; }

    // The part of the window a message box must leave in view, in the
    // window's coordinates.
    QRect keptInView() const;

    // The three type names, which are also the names of their folders.
    static QString typeName(int type);

public slots:
    void Form_Load();
    void Command1_Click();
    void replaySlowly(); // Command1_Click with the slow recording (Shift+F5)
    void Command2_Click();
    void Command3_Click(int index);
    void Command4_Click(int index);
    void Command5_Click();
    void Command6_Click();
    void Combo1_Click();
    void Command7_Click();
    void Text1_Change();
    void Timer1_Timer();
    void Timer2_Timer();
    void richtextbox1_KeyPress(QChar typed);
    void RichTextBox1_KeyDown(int &keyCode, Qt::KeyboardModifiers shift);
    void RichTextBox2_KeyDown(int &keyCode, Qt::KeyboardModifiers shift);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Window as designed (src/ui/form1_layout.cpp).
    void createControls();
    void connectHandlers();

    // Private operations.
    void LoadExercise();
    void quietLoad();
    // At start-up: shows the type and number chosen (StartChoice) without
    // loading anything.
    void startOnChoice();
    void ResetAttempt();
    void FinishExercise();

    // Steps shared by several handlers.
    void stopAttempt();
    // Shows type `index` as the one chosen, without loading anything.
    void showType(int index);
    void showNumberInText1(int number);
    bool exercisePresent(int number) const;
    QString exerciseTextPath() const;
    QString recordingPath() const;
    bool Text1_Keypress(QChar typed);
    void selectNumberOnEntry();
    void setOuterHeight(int twips);
    void centreWindow();
    void placeWithFrame();
    int shortHeight() const;
    int tallHeight() const;
    void selectWholeTypingBox();
    void correctKeyFeedback();
    void wrongKeyFeedback(Mistake mistake);
    void showFigure(Figure figure, const QString &caption);

    // The pupil's history (src/exercise/recording.cpp): the wrong keys of
    // the attempt under way are gathered in memory, and the attempt goes to
    // the store when it ends, finished or left.
    void watchProgressStore();
    void openAttempt();
    void noteMistake(QChar typed, Mistake kind);
    void recordAttempt(bool finished);
    void showStoreProblem(const QString &message);

    Services m_services;
    bool m_attemptOpen = false;
    QList<progress::MistakeRecord> m_attemptMistakes;
    QStringList m_storeProblemsShown;
    bool m_loading = false;
    bool m_reloadRequested = false;
    QString m_text1Seen; // Text1's text when Text1_Change last looked
    bool m_selectText1OnRelease = false;
    bool m_selectText1OnEntry = false; // selected once the focus is reported

    // Exercise state, in its order of declaration.
    QString ExpectedText;
    qint32 TextPos = 0;
    qint32 RecordPos = 0;
    qint32 RecordStart = 0;
    bool MistakePending = false;
    qint16 FontSize = 0;
    qint32 ElapsedSeconds = 0;
    QString AppFolder;
    QString ExerciseFolder;
    std::array<qint16, 3> ExerciseNumber{};
    quint8 ExerciseType = 0;
    qint32 FaultyExercises = 0;
    qint32 CleanExercises = 0;

    // Controls, each named by its objectName (src/ui/form1_layout.cpp).
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    RichTextBox *RichTextBox1 = nullptr;
    RichTextBox *RichTextBox2 = nullptr;
    QLabel *Label1 = nullptr;
    Velantro *Velantro1 = nullptr;
    QLabel *Label2 = nullptr;
    std::array<QPushButton *, 2> Command3{};
    QLineEdit *Text1 = nullptr;
    std::array<QPushButton *, 3> Command4{};
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command7 = nullptr;
    std::array<QPushButton *, 2> Command8{};
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *Combo1 = nullptr;
    std::array<QPushButton *, 2> Command9{};
    Velantro *Velantro2 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;

public:
    // Whose results are kept, and where (empty: nothing is kept).
    std::shared_ptr<progress::ProgressSession> progressSession() const
    {
        return m_services.progress;
    }
    // Loads exercise `number` of type `type` as choosing that type and typing
    // the number does (the progress window's suggestion).
    void chooseExercise(int type, int number);
};

} // namespace letro

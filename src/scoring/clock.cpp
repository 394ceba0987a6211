// The two timers: the seconds clock of an attempt and the one-shot timer that
// empties the typing box once more after a finish.
#include "exercise/form1.h"

#include "scoring/score.h"
#include "ui/richtextbox.h"

#include <QLabel>
#include <QTimer>

#include <limits>

namespace letro {

void Form1::Timer1_Timer()
{
    // The display shows the count before this tick adds to it.
    Label2->setText(secondsCaption(ElapsedSeconds));
    ElapsedSeconds = saturatingIncrement(ElapsedSeconds, std::numeric_limits<qint32>::max());
}

void Form1::Timer2_Timer()
{
    RichTextBox1->setText(QString());
    Timer2->stop();
}

} // namespace letro

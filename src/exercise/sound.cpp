// Listening again: the loudspeaker button plays the current recording, and
// Shift+F5 its slow version.
#include "exercise/form1.h"

#include "exercise/exercisefile.h"
#include "exercise/sharednames.h"
#include "ui/richtextbox.h"

namespace letro {

namespace {

void listenAgain(SoundPlayer &sound, RichTextBox *typingBox, const QString &recording)
{
    sound.play(recording);
    // Back to typing at once when an attempt is under way.
    if (typingBox->isEnabled())
        typingBox->setFocus();
}

} // namespace

void Form1::Command1_Click()
{
    listenAgain(*m_services.sound, RichTextBox1, recordingPath());
}

void Form1::replaySlowly()
{
    // letro-grabar records N.lento.wav beside N.wav: slower speech with
    // longer pauses. A teacher's own recording may have none.
    const QString slow = slowRecordingPathFor(exerciseTextPath());
    listenAgain(*m_services.sound, RichTextBox1, isOrdinaryFile(slow) ? slow : recordingPath());
}

} // namespace letro

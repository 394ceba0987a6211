// Listening again: the loudspeaker button plays the current recording.
#include "exercise/form1.h"

#include "ui/richtextbox.h"

namespace letro {

void Form1::Command1_Click()
{
    m_services.sound->play(recordingPath());
    // Back to typing at once when an attempt is under way.
    if (RichTextBox1->isEnabled())
        RichTextBox1->setFocus();
}

} // namespace letro

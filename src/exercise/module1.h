// The platform side of sound and messages: wave files played in the
// background through Qt Multimedia, and modal message boxes.
#pragma once

#include "services.h"

#include <memory>

class QSoundEffect;

namespace letro {

// Plays recordings through one sound effect (a new request stops the one
// playing and starts from the beginning) and the alert through another, so
// that a wrong key does not cut the dictation off.
class EffectSoundPlayer : public SoundPlayer
{
public:
    EffectSoundPlayer();
    ~EffectSoundPlayer() override;
    void play(const QString &path) override;
    void alert() override;

private:
    std::unique_ptr<QSoundEffect> m_recording;
    std::unique_ptr<QSoundEffect> m_alert;
};

class ModalMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text) override;
};

// The short alert sound, a 16-bit PCM wave file in the program's resources.
inline constexpr const char *AlertSoundUrl = "qrc:/sounds/alerta.wav";

} // namespace letro

// The dialog that records the teacher's own voice for one exercise: record
// with a level meter, stop, listen, then keep the take or record it again.
// Keeping it replaces N.wav only once the new file is complete, and makes
// its slow version N.lento.wav.
#pragma once

#include "editor/services.h"

#include <QAudioFormat>
#include <QDialog>
#include <QTemporaryDir>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace letro::editor {

class MicrophoneRecorder;

// Writes a take as the exercise's recording and makes its slow version;
// returns "" or the reason.
QString keepRecording(const QAudioFormat &format, const QByteArray &pcm,
                      const RecordingTarget &target);

class MicrophoneDialog : public QDialog
{
    Q_OBJECT

public:
    MicrophoneDialog(const RecordingTarget &target, std::shared_ptr<Playback> playback,
                     QWidget *parent = nullptr);
    ~MicrophoneDialog() override;

    MicrophoneRecorder *recorder() const { return m_recorder; }
    // Why the last step failed, or an empty string.
    QString problem() const { return m_problem; }

    void record();
    void stop();
    void listen();
    void keep();

private:
    enum class Step { Ready, Recording, Recorded };
    void show(Step step);
    void fail(const QString &reason);

    RecordingTarget m_target;
    std::shared_ptr<Playback> m_playback;
    MicrophoneRecorder *m_recorder = nullptr;
    QTemporaryDir m_scratch;
    QString m_problem;
    QLabel *m_status = nullptr;
    QProgressBar *m_meter = nullptr;
    QPushButton *m_record = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_listen = nullptr;
    QPushButton *m_keep = nullptr;
    QPushButton *m_redo = nullptr;
};

} // namespace letro::editor

// Recording the teacher's voice from the default audio input (Qt Multimedia's
// QAudioSource) as 16-bit PCM mono, kept in memory until the teacher keeps
// it. The level of each block read is reported for a meter.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSource;
class QIODevice;

namespace letro::editor {

// The bytes of a WAV file holding `pcm` in `format` (16-bit PCM).
QByteArray waveFile(const QAudioFormat &format, const QByteArray &pcm);

// The peak of 16-bit samples, from 0 (silence) to 1 (full scale).
double peakLevel(const char *samples, qsizetype bytes);

class MicrophoneRecorder : public QObject
{
    Q_OBJECT

public:
    // The rate of the synthetic recordings, so every recording sounds alike.
    static constexpr int SampleRate = 22050;
    static constexpr qint64 BlockMicroseconds = 100000;

    explicit MicrophoneRecorder(QObject *parent = nullptr);
    ~MicrophoneRecorder() override;

    // Starts recording from the default input, forgetting an earlier take.
    // Returns an empty string or the reason it cannot.
    QString start();
    void stop();
    bool isRecording() const { return m_device != nullptr; }

    QAudioFormat format() const { return m_format; }
    const QByteArray &take() const { return m_take; }
    qint64 takeMilliseconds() const;

signals:
    // The peak of the latest block, from 0 to 1.
    void level(double peak);
    // Recording stopped by itself (the input went away).
    void failed(const QString &reason);

private:
    void readAvailable();

    std::unique_ptr<QAudioSource> m_source;
    QIODevice *m_device = nullptr;
    QAudioFormat m_format;
    QByteArray m_take;
};

} // namespace letro::editor

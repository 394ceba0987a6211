#include "editor/microphone.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QDataStream>
#include <QIODevice>
#include <QMediaDevices>

#include <cstdlib>
#include <cstring>

namespace letro::editor {

QByteArray waveFile(const QAudioFormat &format, const QByteArray &pcm)
{
    const quint16 channels = quint16(format.channelCount());
    const quint32 rate = quint32(format.sampleRate());
    const quint16 blockAlign = quint16(channels * 2);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << channels << rate << quint32(rate * blockAlign) << blockAlign
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    out.writeRawData(pcm.constData(), int(pcm.size()));
    return bytes;
}

double peakLevel(const char *samples, qsizetype bytes)
{
    int peak = 0;
    for (qsizetype i = 0; i + 1 < bytes; i += 2) {
        qint16 sample;
        std::memcpy(&sample, samples + i, 2);
        peak = std::max(peak, std::abs(int(sample)));
    }
    return std::min(1.0, peak / 32767.0);
}

MicrophoneRecorder::MicrophoneRecorder(QObject *parent) : QObject(parent) {}

MicrophoneRecorder::~MicrophoneRecorder()
{
    stop();
}

QString MicrophoneRecorder::start()
{
    stop();
    m_take.clear();
    const QAudioDevice input = QMediaDevices::defaultAudioInput();
    if (input.isNull())
        return QStringLiteral("no se encuentra ningún micrófono");

    QAudioFormat format;
    format.setSampleRate(SampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!input.isFormatSupported(format)) {
        // The input's own rate, still one channel of 16-bit samples.
        format.setSampleRate(input.preferredFormat().sampleRate());
        if (!input.isFormatSupported(format))
            return QStringLiteral("el micrófono no graba sonido de 16 bits en mono");
    }
    m_format = format;
    m_source = std::make_unique<QAudioSource>(input, format);
    // Small blocks: the meter follows the voice, and PulseAudio's default
    // (about two seconds) drops the first two seconds of every take.
    m_source->setBufferSize(format.bytesForDuration(BlockMicroseconds));
    m_device = m_source->start();
    if (!m_device || m_source->error() != QAudio::NoError) {
        m_source.reset();
        m_device = nullptr;
        return QStringLiteral("no se puede empezar a grabar del micrófono");
    }
    connect(m_device, &QIODevice::readyRead, this, &MicrophoneRecorder::readAvailable);
    connect(m_source.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_source && m_source->error() != QAudio::NoError) {
            stop();
            emit failed(QStringLiteral("el micrófono ha dejado de grabar"));
        }
    });
    return QString();
}

void MicrophoneRecorder::readAvailable()
{
    if (!m_device)
        return;
    const QByteArray block = m_device->readAll();
    if (block.isEmpty())
        return;
    m_take += block;
    emit level(peakLevel(block.constData(), block.size()));
}

void MicrophoneRecorder::stop()
{
    if (!m_source)
        return;
    readAvailable();
    if (m_device)
        disconnect(m_device, nullptr, this, nullptr);
    m_device = nullptr;
    m_source->disconnect(this);
    m_source->stop();
    m_source.reset();
    // Whole samples only.
    m_take.truncate(m_take.size() - m_take.size() % 2);
}

qint64 MicrophoneRecorder::takeMilliseconds() const
{
    const qint64 bytesPerSecond = qint64(m_format.sampleRate()) * m_format.channelCount() * 2;
    return bytesPerSecond > 0 ? m_take.size() * 1000 / bytesPerSecond : 0;
}

} // namespace letro::editor

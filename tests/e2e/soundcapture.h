// Records what reaches the private sound server's null sink, from its monitor,
// through parec (16-bit, 44100 Hz, stereo).
//
// Time is counted in recorded audio, not on the wall clock: on a busy machine
// the null sink runs behind the clock, and a recorder stopped after a fixed
// wait loses what the server still holds. So recording counts as live only
// once audio arrives, and it ends when a sound has been heard and then enough
// silence has followed it.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>

#include <csignal>
#include <cstdlib>
#include <functional>

namespace letro::test {

class SoundCapture
{
public:
    static constexpr int Rate = 44100;
    static constexpr int Channels = 2;
    static constexpr int FrameBytes = 2 * Channels;
    // Louder than this is sound: 1 % of full scale, as sox's "silence 1%".
    static constexpr int Threshold = 328;

    // `spin` waits about the given milliseconds while the caller's work goes
    // on (a test runs its event loop there); without it the capture waits for
    // the recorder alone.
    explicit SoundCapture(const QString &sink, std::function<void(int)> spin = {})
        : m_sink(sink), m_spin(std::move(spin))
    {}
    ~SoundCapture() { stop(); }

    // Starts the recorder and waits until audio really arrives.
    bool start(int timeoutMs = 15000)
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--device=") + m_sink + QStringLiteral(".monitor"),
                       QStringLiteral("--latency-msec=20"), QStringLiteral("--raw"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                       QStringLiteral("--channels=2")});
        if (!m_parec.waitForStarted(10000))
            return false;
        return waitFor([this] { return frames() >= Rate / 4; }, timeoutMs);
    }

    // Waits until a sound has been heard and `silenceMs` of silence followed
    // it; false when that did not happen within `timeoutMs`.
    bool waitForSoundEnd(int silenceMs, int timeoutMs)
    {
        return waitFor(
            [&] { return heard() && frames() - m_lastLoud >= qint64(silenceMs) * Rate / 1000; },
            timeoutMs);
    }

    // Records at least `ms` more of audio.
    bool record(int ms, int timeoutMs)
    {
        const qint64 until = frames() + qint64(ms) * Rate / 1000;
        return waitFor([&] { return frames() >= until; }, timeoutMs);
    }

    void stop()
    {
        if (m_parec.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_parec.processId()), SIGINT);
        if (!m_parec.waitForFinished(5000)) {
            m_parec.kill();
            m_parec.waitForFinished();
        }
    }

    bool heard() const { return m_lastLoud >= 0; }
    qint64 frames() const { return m_data.size() / FrameBytes; }
    const QByteArray &data() const { return m_data; }

    bool save(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(m_data) == m_data.size();
    }

private:
    template <typename Done> bool waitFor(Done done, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            take();
            if (done())
                return true;
            if (clock.elapsed() > timeoutMs || m_parec.state() == QProcess::NotRunning)
                return false;
            if (m_spin)
                m_spin(20);
            else
                m_parec.waitForReadyRead(20);
        }
    }

    void take()
    {
        const QByteArray more = m_parec.readAllStandardOutput();
        if (more.isEmpty())
            return;
        const qint64 firstNew = frames();
        m_data.append(more);
        const auto *samples = reinterpret_cast<const qint16 *>(m_data.constData());
        for (qint64 f = firstNew; f < frames(); ++f) {
            for (int c = 0; c < Channels; ++c) {
                if (std::abs(int(samples[f * Channels + c])) > Threshold)
                    m_lastLoud = f;
            }
        }
    }

    QString m_sink;
    std::function<void(int)> m_spin;
    QProcess m_parec;
    QByteArray m_data;
    qint64 m_lastLoud = -1;
};

} // namespace letro::test

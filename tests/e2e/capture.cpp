// e2e-capture OUTPUT READY-FILE: records the private sound server's null sink
// ($E2E_SINK) into OUTPUT (raw s16le, 44100 Hz, stereo). READY-FILE is created
// once audio really arrives; recording ends one second after the first sound
// has died away, or after 30 seconds. Exit status 0 when a sound was heard.
#include "soundcapture.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: e2e-capture OUTPUT READY-FILE\n");
        return 2;
    }
    letro::test::SoundCapture capture(qEnvironmentVariable("E2E_SINK"));
    if (!capture.start()) {
        std::fprintf(stderr, "e2e-capture: the recorder did not start\n");
        return 1;
    }
    QFile ready(QString::fromLocal8Bit(argv[2]));
    if (!ready.open(QIODevice::WriteOnly))
        return 1;
    ready.close();
    const bool ended = capture.waitForSoundEnd(1000, 30000);
    capture.stop();
    if (!capture.save(QString::fromLocal8Bit(argv[1])))
        return 1;
    return ended ? 0 : 1;
}

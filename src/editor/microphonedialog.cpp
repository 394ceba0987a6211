#include "editor/microphonedialog.h"

#include "editor/microphone.h"
#include "folder/exercisefolder.h"
#include "folder/filesystem.h"
#include "folder/recordings.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace letro::editor {

QString keepRecording(const QAudioFormat &format, const QByteArray &pcm,
                      const RecordingTarget &target)
{
    if (pcm.isEmpty())
        return QStringLiteral("la grabación está vacía");
    // The take and its slow version are made under hidden names beside the
    // old recordings, then put in their place as one change of the folder.
    TypeFolder folder(QFileInfo(target.wavPath).absolutePath());
    folder.expect({target.seen});
    if (const QString changed = folder.unexpected(); !changed.isEmpty())
        return QStringLiteral("no se puede guardar la grabación: ") + changed;
    const QString wav = folder.newRecordingPath(target.number);
    const QString slow = folder.newSlowRecordingPath(target.number);
    QFile::remove(wav); // left by an earlier attempt that was cut short
    QFile::remove(slow);
    if (const QString problem = writeNewFile(wav, waveFile(format, pcm)); !problem.isEmpty())
        return QStringLiteral("no se puede guardar la grabación: ") + problem;
    // Without its slow version the take is still kept.
    const QString slowProblem = makeSlowVersion(wav, slow);
    const QString problem = folder.replaceRecordings(target.number);
    QFile::remove(wav);
    QFile::remove(slow);
    if (!problem.isEmpty())
        return QStringLiteral("no se puede guardar la grabación: ") + problem;
    if (!slowProblem.isEmpty())
        return QStringLiteral("la grabación está guardada, pero no su versión lenta: ") +
               slowProblem;
    return QString();
}

MicrophoneDialog::MicrophoneDialog(const RecordingTarget &target,
                                   std::shared_ptr<Playback> playback, QWidget *parent)
    : QDialog(parent), m_target(target), m_playback(std::move(playback)),
      m_recorder(new MicrophoneRecorder(this))
{
    setObjectName(QStringLiteral("MicrophoneDialog"));
    setWindowTitle(QStringLiteral("Grabar con el micrófono el dictado %1").arg(target.number));
    auto *layout = new QVBoxLayout(this);

    auto *text = new QLabel(target.text, this);
    text->setObjectName(QStringLiteral("textLabel"));
    text->setWordWrap(true);
    QFont font = text->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    text->setFont(font);
    layout->addWidget(
        new QLabel(QStringLiteral("Lea en voz alta, despacio y con claridad:"), this));
    layout->addWidget(text);

    m_meter = new QProgressBar(this);
    m_meter->setObjectName(QStringLiteral("levelMeter"));
    m_meter->setRange(0, 100);
    m_meter->setTextVisible(false);
    m_meter->setAccessibleName(QStringLiteral("Nivel del micrófono"));
    layout->addWidget(m_meter);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto *row = new QHBoxLayout;
    auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    m_record = button("recordButton", QStringLiteral("&Grabar"));
    m_stop = button("stopButton", QStringLiteral("&Parar"));
    m_listen = button("listenButton", QStringLiteral("&Escuchar"));
    m_keep = button("keepButton", QStringLiteral("G&uardar"));
    m_redo = button("redoButton", QStringLiteral("&Repetir"));
    layout->addLayout(row);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    close->setObjectName(QStringLiteral("closeButtons"));
    layout->addWidget(close);

    connect(m_record, &QPushButton::clicked, this, &MicrophoneDialog::record);
    connect(m_redo, &QPushButton::clicked, this, &MicrophoneDialog::record);
    connect(m_stop, &QPushButton::clicked, this, &MicrophoneDialog::stop);
    connect(m_listen, &QPushButton::clicked, this, &MicrophoneDialog::listen);
    connect(m_keep, &QPushButton::clicked, this, &MicrophoneDialog::keep);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_recorder, &MicrophoneRecorder::level, this, [this](double peak) {
        m_meter->setValue(int(peak * 100 + 0.5));
        m_status->setText(
            QStringLiteral("Grabando… %1 s")
                .arg(QLocale().toString(m_recorder->takeMilliseconds() / 1000.0, 'f', 1)));
    });
    connect(m_recorder, &MicrophoneRecorder::failed, this, &MicrophoneDialog::fail);
    show(Step::Ready);
}

MicrophoneDialog::~MicrophoneDialog() = default;

void MicrophoneDialog::show(Step step)
{
    m_record->setEnabled(step == Step::Ready);
    m_stop->setEnabled(step == Step::Recording);
    m_listen->setEnabled(step == Step::Recorded);
    m_keep->setEnabled(step == Step::Recorded);
    m_redo->setEnabled(step == Step::Recorded);
    switch (step) {
    case Step::Ready:
        m_meter->setValue(0);
        m_status->setText(QStringLiteral("Pulse «Grabar» y lea el dictado."));
        m_record->setFocus();
        break;
    case Step::Recording:
        m_status->setText(QStringLiteral("Grabando…"));
        m_stop->setFocus();
        break;
    case Step::Recorded:
        m_meter->setValue(0);
        m_status->setText(
            QStringLiteral("Grabados %1 s. Escúchelo y guárdelo, o repítalo.")
                .arg(QLocale().toString(m_recorder->takeMilliseconds() / 1000.0, 'f', 1)));
        m_listen->setFocus();
        break;
    }
}

void MicrophoneDialog::fail(const QString &reason)
{
    m_problem = reason;
    show(m_recorder->take().isEmpty() ? Step::Ready : Step::Recorded);
    m_status->setText(QStringLiteral("No se ha podido: ") + reason + QLatin1Char('.'));
}

void MicrophoneDialog::record()
{
    m_problem.clear();
    if (const QString problem = m_recorder->start(); !problem.isEmpty())
        return fail(problem);
    show(Step::Recording);
}

void MicrophoneDialog::stop()
{
    m_recorder->stop();
    if (m_recorder->take().isEmpty())
        return fail(QStringLiteral("no ha llegado ningún sonido del micrófono"));
    show(Step::Recorded);
}

void MicrophoneDialog::listen()
{
    if (!m_scratch.isValid())
        return fail(QStringLiteral("no hay carpeta temporal para escuchar la grabación"));
    const QString path = m_scratch.filePath(QStringLiteral("toma.wav"));
    QFile::remove(path);
    if (const QString problem =
            writeNewFile(path, waveFile(m_recorder->format(), m_recorder->take()));
        !problem.isEmpty())
        return fail(problem);
    m_playback->play(path);
}

void MicrophoneDialog::keep()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString problem = keepRecording(m_recorder->format(), m_recorder->take(), m_target);
    QApplication::restoreOverrideCursor();
    if (!problem.isEmpty())
        return fail(problem);
    accept();
}

} // namespace letro::editor

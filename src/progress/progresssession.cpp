#include "progresssession.h"

#include "attemptrecord.h"

namespace letro::progress {

ProgressSession::ProgressSession(QObject *parent)
    : ProgressSession(readStoreSettings(systemSettingsFile(), defaultLocalPath()), desktopPupil(),
                      parent)
{}

ProgressSession::ProgressSession(const StoreSettings &settings, const QString &pupil,
                                 QObject *parent)
    : QObject(parent), m_settings(settings), m_pupil(pupil)
{}

// The recorder's destructor waits for the attempts handed over to be kept.
ProgressSession::~ProgressSession() = default;

ProgressRecorder *ProgressSession::recorder()
{
    if (!m_recorder) {
        m_recorder = std::make_unique<ProgressRecorder>(m_settings);
        connect(m_recorder.get(), &ProgressRecorder::problem, this, &ProgressSession::problem);
        connect(m_recorder.get(), &ProgressRecorder::recorded, this, &ProgressSession::recorded);
    }
    return m_recorder.get();
}

} // namespace letro::progress

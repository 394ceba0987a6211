// Whose results a run of the pupil's window keeps, and where. The store and
// its thread are made only when first needed (an exercise ended, the
// progress window opened), so a start-up without either is as it was.
#pragma once

#include "progressrecorder.h"
#include "storesettings.h"

#include <QObject>
#include <QString>

#include <memory>

namespace letro::progress {

class ProgressSession : public QObject
{
    Q_OBJECT

public:
    // The settings of the system-wide file, the pupil's own file, and the
    // desktop user as the pupil.
    explicit ProgressSession(QObject *parent = nullptr);
    ProgressSession(const StoreSettings &settings, const QString &pupil, QObject *parent = nullptr);
    ~ProgressSession() override;

    const StoreSettings &settings() const { return m_settings; }

    QString pupil() const { return m_pupil; }
    // The pupil chosen from the class list.
    void setPupil(const QString &pupil) { m_pupil = pupil; }

    // The recorder, made (and its store's thread started) on the first call.
    ProgressRecorder *recorder();
    bool hasRecorder() const { return bool(m_recorder); }

signals:
    // The recorder's messages, once each (see ProgressRecorder::problem).
    void problem(const QString &message);
    void recorded(const QUuid &id);

private:
    StoreSettings m_settings;
    QString m_pupil;
    std::unique_ptr<ProgressRecorder> m_recorder;
};

} // namespace letro::progress

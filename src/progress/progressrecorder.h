// The pupil's results kept off the window's thread: a ProgressStore lives on
// a thread of its own, and record() only hands it the attempt, so a slow disk,
// a file another program holds or a server that does not answer never holds
// up the pupil. What the store says goes back as one Spanish message per new
// trouble.
#pragma once

#include "progressstore.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

namespace letro::progress {

class ProgressRecorder : public QObject
{
    Q_OBJECT

public:
    // `retryMs`: how often what waits is tried again (0: only with the next
    // attempt or flush()).
    explicit ProgressRecorder(const StoreSettings &settings, int retryMs = 60000,
                              QObject *parent = nullptr);
    // Waits for the attempts handed over to be kept (or held), then ends the
    // store's thread.
    ~ProgressRecorder() override;

    // Hands the attempt to the store's thread and returns at once.
    void record(const AttemptRecord &attempt);
    // Tries again, on the store's thread, what waits.
    void flush();

    // Runs `job` with the store on the store's thread; `done` then gets its
    // result on this object's thread (not at all if this object is gone).
    template <typename Result>
    void run(std::function<Result(ProgressStore &)> job, std::function<void(Result)> done)
    {
        // The recorder outlives every job: its destructor waits for them. What
        // a job posts back after it is gone is dropped with it.
        post([this, job = std::move(job), done = std::move(done)](ProgressStore &store) {
            QMetaObject::invokeMethod(
                this, [done, result = job(store)]() mutable { done(std::move(result)); },
                Qt::QueuedConnection);
        });
    }

signals:
    // A new trouble, said once: the same one again is not repeated until
    // the store has worked in between.
    void problem(const QString &message);
    // An attempt was kept: written, or waiting in the pupil's file.
    void recorded(const QUuid &id);
    // The store's answer after each attempt or flush: what is still held in
    // memory and what waits in the pupil's file for the server.
    void settled(int held, qint64 queued);

private:
    void post(std::function<void(ProgressStore &)> job);
    void report(const Outcome &outcome, int held, qint64 queued);

    class Worker;
    QThread m_thread;
    Worker *m_worker = nullptr;
    Problem m_lastProblem = Problem::None;
};

} // namespace letro::progress

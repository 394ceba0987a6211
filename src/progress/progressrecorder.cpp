#include "progressrecorder.h"

#include <QTimer>

namespace letro::progress {

// Lives on the store's thread; the store and its connections are made there
// on first use and destroyed there.
class ProgressRecorder::Worker : public QObject
{
public:
    Worker(ProgressRecorder *owner, const StoreSettings &settings, int retryMs)
        : m_owner(owner), m_settings(settings), m_retryMs(retryMs)
    {}

    ProgressStore &store()
    {
        if (!m_store) {
            m_store = std::make_unique<ProgressStore>(m_settings);
            if (m_retryMs > 0) {
                m_retry = new QTimer(this);
                m_retry->setInterval(m_retryMs);
                connect(m_retry, &QTimer::timeout, this, [this] {
                    if (m_store->heldCount() > 0 || m_store->queuedCount() > 0) {
                        settle({}, [this] { return m_store->flush(); });
                    }
                });
                m_retry->start();
            }
        }
        return *m_store;
    }

    // Runs a step of the store and tells the recorder what came of it: the
    // trouble, and which attempts (those held before, and `added`) are kept.
    void settle(const QList<QUuid> &added, const std::function<Outcome()> &step)
    {
        ProgressStore &kept = store();
        QList<QUuid> before = kept.heldIds() + added;
        const Outcome outcome = step();
        const QList<QUuid> after = kept.heldIds();
        before.removeIf([&after](const QUuid &id) { return after.contains(id); });
        const int held = kept.heldCount();
        const qint64 queued = kept.queuedCount();
        QMetaObject::invokeMethod(
            m_owner,
            [owner = m_owner, outcome, ids = before, held, queued] {
                owner->report(outcome, held, queued);
                for (const QUuid &id : ids) {
                    emit owner->recorded(id);
                }
            },
            Qt::QueuedConnection);
    }

    void finish()
    {
        delete m_retry;
        m_retry = nullptr;
        m_store.reset();
    }

private:
    ProgressRecorder *m_owner;
    StoreSettings m_settings;
    int m_retryMs;
    std::unique_ptr<ProgressStore> m_store;
    QTimer *m_retry = nullptr;
};

ProgressRecorder::ProgressRecorder(const StoreSettings &settings, int retryMs, QObject *parent)
    : QObject(parent), m_worker(new Worker(this, settings, retryMs))
{
    m_thread.setObjectName(QStringLiteral("letro-progress"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

ProgressRecorder::~ProgressRecorder()
{
    // Queued after every job handed over, so those run first. What the jobs
    // post back to this object is dropped with it.
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker] { worker->finish(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void ProgressRecorder::post(std::function<void(ProgressStore &)> job)
{
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, job = std::move(job)] { job(worker->store()); },
        Qt::QueuedConnection);
}

void ProgressRecorder::record(const AttemptRecord &attempt)
{
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, attempt] {
            worker->settle({attempt.id},
                           [worker, &attempt] { return worker->store().record(attempt); });
        },
        Qt::QueuedConnection);
}

void ProgressRecorder::flush()
{
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker] { worker->settle({}, [worker] { return worker->store().flush(); }); },
        Qt::QueuedConnection);
}

void ProgressRecorder::report(const Outcome &outcome, int held, qint64 queued)
{
    if (outcome.problem != m_lastProblem && !outcome.ok()) {
        emit problem(problemMessage(outcome));
    }
    m_lastProblem = outcome.problem;
    emit settled(held, queued);
}

} // namespace letro::progress

#include "announcementqueue.h"

#include <algorithm>

namespace letro {

namespace {

// A speech synthesiser at a screen reader's default rate says about fifteen
// characters a second, and takes a moment to start.
constexpr int StartMilliseconds = 200;
constexpr int CharacterMilliseconds = 60;
// However long a message, the next is not held back longer than this.
constexpr int LongestMilliseconds = 5000;

} // namespace

AnnouncementQueue::AnnouncementQueue(QObject *parent) : QObject(parent)
{
    m_pace.setSingleShot(true);
    // A coarse timer may fire early, cutting the message before short.
    m_pace.setTimerType(Qt::PreciseTimer);
    connect(&m_pace, &QTimer::timeout, this, &AnnouncementQueue::handOnNext);
}

int AnnouncementQueue::speakingMilliseconds(const QString &text)
{
    const qint64 estimate = StartMilliseconds + qint64(text.size()) * CharacterMilliseconds;
    return int(std::min<qint64>(estimate, LongestMilliseconds));
}

void AnnouncementQueue::say(QObject *from, const QString &text, Announcement kind)
{
    if (text.isEmpty())
        return;
    if (kind == Announcement::Choice) {
        auto older = std::find_if(m_waiting.begin(), m_waiting.end(), [](const Entry &entry) {
            return entry.kind == Announcement::Choice;
        });
        if (older != m_waiting.end()) {
            *older = Entry{from, text, kind};
            return;
        }
    }
    if (!m_waiting.isEmpty() && m_waiting.last().text == text)
        return;
    m_waiting.append(Entry{from, text, kind});
    // Handed on once the handler that said it has returned (the focus and
    // the window then show what the message is about), or after the message
    // being spoken now.
    if (!m_pace.isActive())
        m_pace.start(0);
}

QStringList AnnouncementQueue::waiting() const
{
    QStringList texts;
    for (const Entry &entry : m_waiting)
        texts.append(entry.text);
    return texts;
}

void AnnouncementQueue::handOnNext()
{
    if (m_waiting.isEmpty())
        return;
    const Entry entry = m_waiting.takeFirst();
    m_pace.start(speakingMilliseconds(entry.text));
    emit spoken(entry.from, entry.text);
}

} // namespace letro

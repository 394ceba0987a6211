// What the windows say to a screen reader, one message after another.
//
// A screen reader cuts a message short when the next one arrives: the Caps
// Lock hint and the mistake message of the same key would be heard as the
// mistake alone. Every announcement therefore goes through the queue of its
// window, which hands each message on only once the one before has had the
// time to be spoken, in the order they were made. A message that is already
// waiting is not queued twice, and a newer choice of exercise takes the
// place of an older one still waiting: only the exercise finally chosen is
// worth hearing.
//
// The queue only decides what is said and when; spoken() hands each message
// to whatever speaks it (accessibility.h), and tests read the same signal.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace letro {

enum class Announcement {
    Message, // a mistake, a hint, the end of an exercise, a character typed
    Choice,  // the exercise chosen: a newer one replaces one still waiting
};

class AnnouncementQueue : public QObject
{
    Q_OBJECT

public:
    explicit AnnouncementQueue(QObject *parent = nullptr);

    // Queues `text`, said on behalf of `from`. An empty text says nothing.
    void say(QObject *from, const QString &text, Announcement kind = Announcement::Message);

    // The messages not handed on yet, in order.
    QStringList waiting() const;

    // About how long a screen reader takes to speak `text` at its usual rate,
    // in milliseconds: the least time before the next message is handed on.
    static int speakingMilliseconds(const QString &text);

signals:
    // A message handed on to the screen reader now.
    void spoken(QObject *from, const QString &text);

private:
    void handOnNext();

    struct Entry
    {
        QPointer<QObject> from;
        QString text;
        Announcement kind;
    };
    QList<Entry> m_waiting;
    QTimer m_pace; // runs while the last message handed on is being spoken
};

} // namespace letro

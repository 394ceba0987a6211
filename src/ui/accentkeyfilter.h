// The keyboard's way to the accent pad's characters: watches the keys that
// reach the typing box and, where a key ends one of the sequences of
// checker/accentkeys.h (Ctrl+' then a vowel...), types the character through
// the same key path as the pad, so that the box and the checker see a key
// carrying that character, as a Spanish keyboard would send. The keys of the
// sequence themselves never reach the box.
#pragma once

#include "checker/accentkeys.h"

#include <QObject>

class QWidget;

namespace letro {

class AccentKeyFilter : public QObject
{
    Q_OBJECT

public:
    // Watches `typingBox`; owned by it.
    explicit AccentKeyFilter(QWidget *typingBox);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_typingBox;
    AccentMark m_pending = AccentMark::None;
};

} // namespace letro

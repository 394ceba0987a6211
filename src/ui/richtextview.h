// The text edit a RichTextBox holds to show its content. It never has the
// keyboard focus (the box has it, as its focus proxy) and changes nothing by
// itself: the box hands it only the keys that move the caret or select on
// screen, the preedit of a dead key and the focus changes, and every way text
// could be pasted or dropped into it is closed. Only the box and its tests
// include this header.
#pragma once

#include <QKeyEvent>
#include <QTextEdit>

namespace letro {

class RichTextBox;

class RichTextView final : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichTextView(RichTextBox *box);

    // What the box lets through to the text edit.
    void moveOnScreen(QKeyEvent *event) { QTextEdit::keyPressEvent(event); }
    void showPreedit(QInputMethodEvent *event) { QTextEdit::inputMethodEvent(event); }
    void takeFocusChange(QFocusEvent *event);
    void takeShortcutOverride(QKeyEvent *event) { QTextEdit::event(event); }

    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

protected:
    // Keys and commits sent to the text edit itself go to the box.
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    RichTextBox *m_box;
};

} // namespace letro

// RichTextBox: the typing box and the record box of the main window.
//
// The program drives the content only through a selection of its own (start
// counted from 0 and a length), like a classic rich-edit control: it sets the
// selection, sets the selection's colour, font or accepted-character mark, and
// replaces the selected text. The box holds the text edit that shows the
// content and offers none of its editing interface, so nothing can change the
// content or the selection behind the program's back. A mouse click, the
// navigation keys and a screen reader move the caret on screen but not this
// selection.
//
// The box itself takes the keyboard focus and every key and input-method
// event, whether typed or sent to it. Every key goes through two hooks:
// keyDown, which may cancel the key by setting its code to 0, and keyPress,
// which runs for every character key before the box inserts that character in
// place of the selection, in the selection's format. Nothing else can put text
// into the box: paste, drag and drop, cut, undo, redo and editing shortcuts
// are closed, and input-method commits (accents typed with dead keys) are
// handed to the hooks one character at a time. A typed character always takes
// exactly one position: a character outside the Basic Multilingual Plane is
// stored as U+FFFD.
#pragma once

#include <QTextCharFormat>
#include <QTextCursor>
#include <QWidget>

#include <functional>

class QTextDocument;

namespace letro {

class RichTextView;

// Colours of the rich-text boxes are 32-bit values laid out as 0x00BBGGRR.
QColor colorFromBgr(quint32 bgr);
quint32 bgrFromColor(const QColor &color);

class RichTextBox : public QWidget
{
    Q_OBJECT

public:
    // Key codes handed to the key-down hook for the keys the program filters.
    enum KeyCode { KeyBack = 8, KeyReturn = 13, KeyDelete = 46 };

    using KeyDownHook = std::function<void(int &keyCode, Qt::KeyboardModifiers shift)>;
    using KeyPressHook = std::function<void(QChar typed)>;

    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    void setKeyDownHook(KeyDownHook hook) { m_keyDown = std::move(hook); }
    void setKeyPressHook(KeyPressHook hook) { m_keyPress = std::move(hook); }

    // Whole content as plain text; setting it replaces everything.
    QString text() const;
    void setText(const QString &text);
    int length() const;

    int selStart() const;
    void setSelStart(int start);
    int selLength() const;
    void setSelLength(int length);
    QString selText() const;
    void setSelText(const QString &text);
    void setSelColor(quint32 bgr);
    void setSelAccepted(bool on);
    void setSelFontName(const QString &family);
    void setSelFontSize(double points);

    // Told to screen readers: a read-only box is a text to read, not to
    // type into. The navigation keys move its caret on screen even when the
    // key-down hook cancels them (they change nothing); what every other key
    // does is still the hook's business.
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // The format of the character at a 0-based position.
    QTextCharFormat formatAt(int position) const;
    quint32 colorAt(int position) const;
    bool acceptedAt(int position) const;
    // The content with its formats, to read.
    const QTextDocument *document() const;

    // The character attribute that marks accepted characters (drawn bold).
    static constexpr int AcceptedProperty = QTextFormat::UserProperty + 1;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class RichTextView;

    void select(int start, int length);
    void freshInsertionPoint();
    void applyToSelection(const QTextCharFormat &change);
    void showSelection();
    bool keyDown(int keyCode, Qt::KeyboardModifiers modifiers);
    void typeCharacter(QChar typed);
    void loadAcceptedFont(const QFont &font);
    void prepareGlyphs();
    void tellTextChange();
    void tellCaretMove();

    RichTextView *m_view;
    KeyDownHook m_keyDown;
    KeyPressHook m_keyPress;
    QTextCursor m_sel;
    QTextCharFormat m_insertFormat;
    QFont m_acceptedFont;
    QFont m_preparedFont;
    bool m_typing = false;
    bool m_readOnly = false;
    QString m_toldText; // the content as screen readers were last told it
};

} // namespace letro

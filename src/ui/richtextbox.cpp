#include "richtextbox.h"

#include "richtextview.h"

#include "checker/characterkeys.h"
#include "ui/accessibility.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QTextDocument>
#include <QTimer>

#include <utility>

namespace letro {

QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 bgrFromColor(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

namespace {

// Key code given to the key-down hook for characters that arrive through the
// input method (accents typed with dead keys), as a key processed by an IME.
constexpr int KeyProcessedByInputMethod = 229;
// Key code of the full-stop key, so that it is never taken for Delete (46).
constexpr int KeyFullStop = 190;

int keyCodeOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return RichTextBox::KeyBack;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return RichTextBox::KeyReturn;
    case Qt::Key_Delete:
        return RichTextBox::KeyDelete;
    case Qt::Key_Period:
        return KeyFullStop;
    case 0:
        return KeyProcessedByInputMethod;
    default:
        return event->key();
    }
}

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

// A key that moves the caret (or, with Shift, selects on screen) and never
// changes the text: what a read-only box is read with.
bool movesCaret(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers reading =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::KeypadModifier;
    return isNavigationKey(event->key()) && (event->modifiers() & ~reading) == 0;
}

bool isDeadKey(int key)
{
    return (key & ~0xFF) == 0x01001200; // Qt::Key_Dead_Grave ... Qt::Key_Dead_Greek
}

bool isClosedEditingShortcut(const QKeyEvent *event)
{
    static const QKeySequence::StandardKey closed[] = {
        QKeySequence::Paste,
        QKeySequence::Cut,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::Delete,
        QKeySequence::Backspace,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine,
        QKeySequence::InsertLineSeparator,
        QKeySequence::InsertParagraphSeparator,
    };
    for (auto key : closed) {
        if (event->matches(key))
            return true;
    }
    return false;
}

} // namespace

RichTextView::RichTextView(RichTextBox *box) : QTextEdit(box), m_box(box)
{
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
}

void RichTextView::takeFocusChange(QFocusEvent *event)
{
    // The caret is drawn while the box has the focus.
    if (event->gotFocus())
        QTextEdit::focusInEvent(event);
    else
        QTextEdit::focusOutEvent(event);
}

bool RichTextView::canInsertFromMimeData(const QMimeData *) const
{
    return false;
}

void RichTextView::insertFromMimeData(const QMimeData *)
{
    // Pasted and dropped text would enter unjudged: nothing is inserted.
}

void RichTextView::keyPressEvent(QKeyEvent *event)
{
    m_box->keyPressEvent(event);
}

void RichTextView::inputMethodEvent(QInputMethodEvent *event)
{
    m_box->inputMethodEvent(event);
}

RichTextBox::RichTextBox(QWidget *parent)
    : QWidget(parent), m_view(new RichTextView(this)), m_sel(m_view->document())
{
    setFocusPolicy(m_view->focusPolicy());
    setAttribute(Qt::WA_InputMethodEnabled);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    // Clicks and focus requests on the text edit give the focus to the box.
    m_view->setFocusProxy(this);
    // Screen readers know the box as one text object (src/ui/accessibility.cpp).
    becomeTextObject(this);
    connect(m_view, &QTextEdit::cursorPositionChanged, this, [this] {
        updateMicroFocus();
        tellCaretMove();
    });
    connect(m_view->document(), &QTextDocument::contentsChanged, this,
            &RichTextBox::tellTextChange);
    select(0, 0);
}

RichTextBox::~RichTextBox() = default;

const QTextDocument *RichTextBox::document() const
{
    return m_view->document();
}

QString RichTextBox::text() const
{
    return m_view->toPlainText();
}

int RichTextBox::length() const
{
    return document()->characterCount() - 1;
}

void RichTextBox::setText(const QString &text)
{
    QTextDocument *content = m_view->document();
    content->clear();
    QTextCursor cursor(content);
    cursor.insertText(text, QTextCharFormat());
    m_sel = QTextCursor(content);
    m_sel.movePosition(QTextCursor::End);
    m_insertFormat = QTextCharFormat();
    select(length(), 0);
    showSelection();
}

int RichTextBox::selStart() const
{
    return m_sel.selectionStart();
}

int RichTextBox::selLength() const
{
    return m_sel.selectionEnd() - m_sel.selectionStart();
}

QString RichTextBox::selText() const
{
    return m_sel.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void RichTextBox::setSelStart(int start)
{
    // Setting the start leaves an empty selection there, clamped to the content.
    select(qBound(0, start, length()), 0);
    showSelection();
}

void RichTextBox::setSelLength(int length)
{
    const int start = selStart();
    select(start, qBound(0, length, this->length() - start));
    showSelection();
}

void RichTextBox::select(int start, int length)
{
    // Selecting what is already selected keeps the format set for the next
    // insertion; a new selection takes the format of its first character, or
    // for an insertion point that of the character before it, without the
    // accepted-character mark (a character is marked only once accepted).
    const bool same = m_sel.selectionStart() == start && selLength() == length;
    if (same && !m_insertFormat.isEmpty())
        return;
    m_sel.setPosition(start);
    m_sel.setPosition(start + length, QTextCursor::KeepAnchor);

    QTextCursor probe(m_view->document());
    probe.setPosition(length > 0 ? start + 1 : start);
    QTextCharFormat format = probe.charFormat();
    if (length == 0) {
        format.clearProperty(AcceptedProperty);
        format.clearProperty(QTextFormat::FontWeight);
    }
    // Keep the format non-empty so that "already set" can be told apart.
    if (!format.hasProperty(AcceptedProperty))
        format.setProperty(AcceptedProperty, false);
    m_insertFormat = format;
}

void RichTextBox::applyToSelection(const QTextCharFormat &change)
{
    if (m_sel.hasSelection())
        m_sel.mergeCharFormat(change);
    m_insertFormat.merge(change);
}

void RichTextBox::setSelColor(quint32 bgr)
{
    QTextCharFormat change;
    change.setForeground(colorFromBgr(bgr));
    applyToSelection(change);
}

void RichTextBox::setSelAccepted(bool on)
{
    QTextCharFormat change;
    change.setProperty(AcceptedProperty, on);
    change.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyToSelection(change);
}

void RichTextBox::setSelFontName(const QString &family)
{
    QTextCharFormat change;
    change.setFontFamilies(QStringList{family});
    applyToSelection(change);
    // A font given to the whole content stays the box's font when it is
    // emptied for the next attempt.
    if (selStart() == 0 && selLength() == length()) {
        QFont font = document()->defaultFont();
        font.setFamilies(QStringList{family});
        m_view->document()->setDefaultFont(font);
        loadAcceptedFont(font);
    }
}

void RichTextBox::setSelFontSize(double points)
{
    QTextCharFormat change;
    change.setFontPointSize(points);
    applyToSelection(change);
    if (selStart() == 0 && selLength() == length()) {
        QFont font = document()->defaultFont();
        font.setPointSizeF(points);
        m_view->document()->setDefaultFont(font);
        loadAcceptedFont(font);
    }
}

void RichTextBox::setSelText(const QString &text)
{
    m_sel.insertText(text, m_insertFormat);
    freshInsertionPoint();
    showSelection();
}

void RichTextBox::freshInsertionPoint()
{
    // After an insertion the caret is a new insertion point: what follows
    // takes the format of the character before it, without the
    // accepted-character mark, even when the same place is selected again.
    m_insertFormat = QTextCharFormat();
    select(m_sel.position(), 0);
}

QTextCharFormat RichTextBox::formatAt(int position) const
{
    QTextCursor probe(m_view->document());
    probe.setPosition(qBound(0, position + 1, length()));
    return probe.charFormat();
}

quint32 RichTextBox::colorAt(int position) const
{
    const QTextCharFormat format = formatAt(position);
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return 0;
    return bgrFromColor(format.foreground().color());
}

bool RichTextBox::acceptedAt(int position) const
{
    return formatAt(position).boolProperty(AcceptedProperty);
}

void RichTextBox::showSelection()
{
    if (m_typing)
        return;
    m_view->setTextCursor(m_sel);
}

bool RichTextBox::keyDown(int keyCode, Qt::KeyboardModifiers modifiers)
{
    if (m_keyDown)
        m_keyDown(keyCode, modifiers);
    return keyCode != 0;
}

void RichTextBox::typeCharacter(QChar typed)
{
    // The caret on screen follows the selection once the key is in, not at
    // every step the hook takes.
    m_typing = true;
    if (m_keyPress)
        m_keyPress(typed);
    // The box inserts the key after the hook, over whatever the hook selected,
    // in the selection's format.
    m_sel.insertText(QString(typed), m_insertFormat);
    freshInsertionPoint();
    m_typing = false;
    showSelection();
}

bool RichTextBox::event(QEvent *event)
{
    // The text edit claims the keys it edits with before any shortcut sees
    // them, as it would with the focus; they then come here and are judged.
    if (event->type() == QEvent::ShortcutOverride) {
        m_view->takeShortcutOverride(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QWidget::event(event);
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    const bool allowed = keyDown(keyCodeOf(event), event->modifiers());
    // A read-only box is read with the navigation keys, whatever the hook
    // makes of them: they move its caret on screen, never its text or the
    // program's selection.
    if (m_readOnly && movesCaret(event)) {
        m_view->moveOnScreen(event);
        return;
    }
    if (!allowed)
        return;
    if (isClosedEditingShortcut(event))
        return;
    // As in Qt's own text widgets, a key held with Ctrl (or Ctrl+Shift) is a
    // shortcut, never a character, whatever text the platform gives it.
    const QString keys = characterKeys(event->text(), event->modifiers());
    if (!keys.isEmpty()) {
        // A key that ends the exercise shuts the box: the rest of the text
        // is not typed into it.
        for (QChar key : keys) {
            if (isEnabled())
                typeCharacter(key);
        }
        return;
    }
    const int key = event->key();
    if (isNavigationKey(key) || isDeadKey(key) || event->matches(QKeySequence::Copy) ||
        event->matches(QKeySequence::SelectAll)) {
        m_view->moveOnScreen(event);
        return;
    }
    // Any other key without a character does nothing here; let the window see it.
    event->ignore();
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    // A disabled box takes no keys, whichever way they come.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    const QString keys = characterKeys(event->commitString());
    // Only the preedit (the dead key shown while composing) goes to the text
    // edit; a selection made with the mouse is dropped first, since the text
    // edit would delete it when a preedit starts.
    QTextCursor view = m_view->textCursor();
    if (view.hasSelection()) {
        view.clearSelection();
        m_view->setTextCursor(view);
    }
    QInputMethodEvent preedit(event->preeditString(), event->attributes());
    m_view->showPreedit(&preedit);
    for (QChar key : keys) {
        // A commit that ends the exercise part-way shuts the box: the
        // characters after it are not judged against the next attempt.
        if (isEnabled() && keyDown(KeyProcessedByInputMethod, Qt::NoModifier))
            typeCharacter(key);
    }
    event->accept();
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // The text edit fills the box from its top-left corner: its answers (the
    // caret's rectangle among them) hold for the box as they are.
    return m_view->inputMethodQuery(query);
}

void RichTextBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_view->takeFocusChange(event);
    // The glyphs the first key would otherwise wait for are drawn now, before
    // the pupil types. A key already waiting is handled after this.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            prepareGlyphs();
    });
}

void RichTextBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_view->takeFocusChange(event);
}

void RichTextBox::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        loadAcceptedFont(font());
}

void RichTextBox::loadAcceptedFont(const QFont &font)
{
    // Accepted characters are drawn bold: the bold face is loaded when the
    // box's font is set, not at the pupil's first right key. Keeping the font
    // keeps the face loaded.
    m_acceptedFont = font;
    m_acceptedFont.setBold(true);
    QFontMetricsF(m_acceptedFont).height();
}

void RichTextBox::prepareGlyphs()
{
    // Shaping a face's first text and rasterising its glyphs happen when they
    // are first drawn. The characters a pupil can type are drawn once, off
    // screen, in the faces the box shows them in: accepted (bold) and not.
    // The glyph cache is shared by every raster surface of the same kind, and
    // the window's is opaque like this image.
    if (m_preparedFont == m_acceptedFont)
        return;
    m_preparedFont = m_acceptedFont;
    static const QString typable =
        QStringLiteral("abcdefghijklmnñopqrstuvwxyz áéíóúü ABCDEFGHIJKLMNÑOPQRSTUVWXYZ ÁÉÍÓÚÜ "
                       "0123456789 .,;:¿?¡!-()\"'");
    const QFont faces[] = {document()->defaultFont(), m_acceptedFont};
    for (const QFont &face : faces) {
        const QFontMetrics metrics(face);
        QImage image(metrics.horizontalAdvance(typable) + 1, metrics.height(),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(face);
        painter.setPen(Qt::blue);
        painter.drawText(0, metrics.ascent(), typable);
    }
}

void RichTextBox::tellTextChange()
{
    // The change as one replacement between the common start and the common
    // end of the old and the new text: a typed key is one inserted character.
    const QString now = text();
    if (now == m_toldText)
        return;
    const QString before = std::exchange(m_toldText, now);
    if (!QAccessible::isActive())
        return;
    qsizetype start = 0;
    while (start < before.size() && start < now.size() && before[start] == now[start])
        ++start;
    qsizetype endBefore = before.size(), endNow = now.size();
    while (endBefore > start && endNow > start && before[endBefore - 1] == now[endNow - 1]) {
        --endBefore;
        --endNow;
    }
    const QString removed = before.mid(start, endBefore - start);
    const QString inserted = now.mid(start, endNow - start);
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent event(this, int(start), inserted);
        QAccessible::updateAccessibility(&event);
    } else if (inserted.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, int(start), removed);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(this, int(start), removed, inserted);
        QAccessible::updateAccessibility(&event);
    }
}

void RichTextBox::tellCaretMove()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTextCursorEvent event(this, m_view->textCursor().position());
    QAccessible::updateAccessibility(&event);
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}

} // namespace letro

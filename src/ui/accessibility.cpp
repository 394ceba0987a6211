#include "accessibility.h"

#include "richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <utility>

namespace letro {

namespace {

// The dynamic property that marks a silent label.
constexpr char SilentProperty[] = "letroSilent";

// The dynamic property that marks a window's announcer.
constexpr char AnnouncerProperty[] = "letroAnnouncer";

// Qt keeps the interface it made for an object, and makes one as soon as a
// widget reports a change, even in its constructor: one made before the
// object was marked is dropped, so that the next question builds the right
// one.
void rebuildInterface(QObject *object)
{
    installAccessibleInterfaces();
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(object))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// The hidden widget of a window through which announcements are made: a
// notification that is shown with the message's text. It has no size, draws
// nothing, takes neither focus nor clicks.
QWidget *announcerOf(QWidget *window)
{
    for (QObject *child : window->children()) {
        if (child->property(AnnouncerProperty).toBool())
            return static_cast<QWidget *>(child);
    }
    installAccessibleInterfaces();
    auto *announcer = new QWidget(window);
    announcer->setObjectName(QStringLiteral("Anuncios"));
    announcer->setProperty(AnnouncerProperty, true);
    rebuildInterface(announcer);
    announcer->setFocusPolicy(Qt::NoFocus);
    announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
    announcer->setGeometry(0, 0, 0, 0);
    announcer->hide();
    return announcer;
}
#endif

class NotificationAccessible final : public QAccessibleWidget
{
public:
    explicit NotificationAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Notification)
    {}
};

// A label whose text is read elsewhere: invisible to screen readers.
class SilentLabelAccessible final : public QAccessibleWidget
{
public:
    explicit SilentLabelAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text) const override { return QString(); }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

// A combo box named for what it chooses; its current text is its value.
class NamedComboBoxAccessible final : public QAccessibleWidget
{
public:
    explicit NamedComboBoxAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return comboBox()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = comboBox()->isEditable();
        state.expandable = true;
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction())
            comboBox()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox *comboBox() const { return static_cast<QComboBox *>(widget()); }
};

// A rich-text box as one text object. Its content and caret are those of
// the text edit inside it, which stays out of the tree: the box holds the
// keyboard focus, so the object with the focus is the one with the text.
class RichTextBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit RichTextBoxAccessible(RichTextBox *box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.multiLine = true;
        state.selectableText = true;
        state.readOnly = box()->isReadOnly();
        state.editable = !box()->isReadOnly();
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(t);
    }

    // The text edit inside is part of the box, not a child of its own.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    // The text interface, read-only: the content changes only by the keys
    // the program judges.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const QTextCursor cursor = view()->textCursor();
        if (selectionIndex != 0 || !cursor.hasSelection()) {
            *startOffset = *endOffset = 0;
            return;
        }
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return view()->textCursor().position(); }
    // A screen reader reading on (say-all, a line at a time) moves the caret
    // on screen, as the navigation keys do; the program's selection stays.
    void setCursorPosition(int position) override
    {
        QTextCursor cursor = view()->textCursor();
        cursor.setPosition(qBound(0, position, characterCount()));
        view()->setTextCursor(cursor);
    }
    QString text(int startOffset, int endOffset) const override
    {
        const QString all = box()->text();
        if (startOffset < 0 || endOffset < startOffset || endOffset > all.size())
            return QString();
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QRect characterRect(int offset) const override
    {
        QTextCursor cursor(view()->document());
        cursor.setPosition(qBound(0, offset, characterCount()));
        const QRect rect = view()->cursorRect(cursor);
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(local))
            return -1;
        return view()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int, int) override {}
    // Lines are the lines on screen, as the text wraps in the box; the other
    // units are the text's own.
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                             int *endOffset) const override
    {
        if (boundary != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textBeforeOffset(offset, boundary, startOffset,
                                                              endOffset);
        const auto [start, end] = lineAt(offset);
        if (start == 0)
            return emptyAt(0, startOffset, endOffset);
        return lineText(lineAt(start - 1), startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                            int *endOffset) const override
    {
        if (boundary != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAfterOffset(offset, boundary, startOffset,
                                                             endOffset);
        const auto [start, end] = lineAt(offset);
        if (end >= characterCount() || end == start)
            return emptyAt(characterCount(), startOffset, endOffset);
        return lineText(lineAt(end), startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *startOffset,
                         int *endOffset) const override
    {
        if (boundary != QAccessible::LineBoundary)
            return QAccessibleTextInterface::textAtOffset(offset, boundary, startOffset, endOffset);
        return lineText(lineAt(offset), startOffset, endOffset);
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    RichTextBox *box() const { return static_cast<RichTextBox *>(widget()); }
    QTextEdit *view() const { return box()->findChild<QTextEdit *>(); }

    // The line on screen that holds `offset`, from its first character to
    // the first of the next line: the line break that ends a paragraph
    // belongs to the line it ends. Empty where there is no text.
    std::pair<int, int> lineAt(int offset) const
    {
        const QTextDocument *document = view()->document();
        const QTextBlock block = document->findBlock(qBound(0, offset, characterCount()));
        if (!block.isValid())
            return {offset, offset};
        // Lays the paragraph out at the box's width, if it is not already.
        document->documentLayout()->blockBoundingRect(block);
        const QTextLayout *layout = block.layout();
        const int inBlock = qBound(0, offset - block.position(), block.length() - 1);
        const QTextLine line = layout ? layout->lineForTextPosition(inBlock) : QTextLine();
        if (!line.isValid())
            return {block.position(), block.position() + block.length() - 1};
        const int start = block.position() + line.textStart();
        int end = start + line.textLength();
        if (line.lineNumber() == layout->lineCount() - 1 && block.next().isValid())
            ++end;
        return {start, qMin(end, characterCount())};
    }
    QString lineText(std::pair<int, int> line, int *startOffset, int *endOffset) const
    {
        *startOffset = line.first;
        *endOffset = line.second;
        return text(line.first, line.second);
    }
    static QString emptyAt(int offset, int *startOffset, int *endOffset)
    {
        *startOffset = *endOffset = offset;
        return QString();
    }
};

QAccessibleInterface *letroInterfaces(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("letro::RichTextBox"))
        return new RichTextBoxAccessible(static_cast<RichTextBox *>(object));
    if (className == QLatin1String("QWidget") && object->property(AnnouncerProperty).toBool())
        return new NotificationAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("QComboBox")) {
        auto *box = static_cast<QComboBox *>(object);
        if (!box->accessibleName().isEmpty())
            return new NamedComboBoxAccessible(box);
    }
    if (className == QLatin1String("QLabel") && object->property(SilentProperty).toBool())
        return new SilentLabelAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    QAccessible::installFactory(letroInterfaces);
}

namespace {

// Hands one message to the screen reader.
void speak(QObject *from, const QString &text)
{
    auto *widget = qobject_cast<QWidget *>(from);
    if (!widget)
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt passes this on as the platform's own announcement.
    QAccessibleAnnouncementEvent event(widget, text);
    QAccessible::updateAccessibility(&event);
#else
    // A screen reader speaks a notification when it is shown: hide it, give
    // it the text, show it again, even for the same text twice.
    QWidget *announcer = announcerOf(widget->window());
    announcer->hide();
    announcer->setAccessibleName(text);
    announcer->show();
#endif
}

} // namespace

AnnouncementQueue *announcementsOf(QWidget *window)
{
    if (auto *queue = window->findChild<AnnouncementQueue *>(QString(), Qt::FindDirectChildrenOnly))
        return queue;
    auto *queue = new AnnouncementQueue(window);
    QObject::connect(queue, &AnnouncementQueue::spoken, queue, speak);
    return queue;
}

void announce(QWidget *widget, const QString &text, Announcement kind)
{
    if (!widget || text.isEmpty())
        return;
    announcementsOf(widget->window())->say(widget, text, kind);
}

void silenceForScreenReaders(QWidget *label)
{
    label->setProperty(SilentProperty, true);
    rebuildInterface(label);
}

void nameComboBox(QComboBox *box, const QString &name)
{
    box->setAccessibleName(name);
    rebuildInterface(box);
}

void becomeTextObject(QWidget *box)
{
    rebuildInterface(box);
}

} // namespace letro

#include "editor/exerciselist.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace letro::editor {

namespace {

// A row of one list in one process: "pid list number", then the text.
const QString DragFormat = QStringLiteral("application/x-letro-dictado");

// `text` with each digit made `digit`: texts alike but for their digits
// are measured once, as the widest of them.
QString digitsAs(QString text, QChar digit)
{
    for (QChar &c : text)
        if (c.isDigit())
            c = digit;
    return text;
}

QChar widestDigit(const QFontMetrics &metrics)
{
    QChar widest = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c)
        if (metrics.horizontalAdvance(QLatin1Char(c)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(c);
    return widest;
}

QByteArray listId(const ExerciseList *list)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
           QByteArray::number(quintptr(list));
}

} // namespace

ExerciseList::ExerciseList(QWidget *parent) : QTreeWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragDropOverwriteMode(false);
    setDropIndicatorShown(true);
    setMovable(false);
}

void ExerciseList::setMovable(bool movable)
{
    m_movable = movable;
    setDragEnabled(movable);
    setAcceptDrops(movable);
}

int ExerciseList::dropTarget(int number, const QPoint &pos) const
{
    int insertAt = topLevelItemCount();
    if (QTreeWidgetItem *item = itemAt(pos)) {
        const QRect rect = visualItemRect(item);
        insertAt = indexOfTopLevelItem(item) + (pos.y() >= rect.center().y() ? 1 : 0);
    } else if (topLevelItemCount() > 0 && pos.y() < visualItemRect(topLevelItem(0)).top()) {
        insertAt = 0;
    }
    // The exercises keep the numbers in use: the one dropped takes the
    // number of the place it lands in among the others.
    QList<int> texts;
    qsizetype before = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = topLevelItem(i);
        if (!item->data(0, HasTextRole).toBool())
            continue;
        const int n = item->data(0, NumberRole).toInt();
        texts.append(n);
        if (n != number && i < insertAt)
            ++before;
    }
    if (!texts.contains(number))
        return 0;
    const int target = texts.at(before);
    return target == number ? 0 : target;
}

void ExerciseList::fitColumns(const QList<int> &columns)
{
    // The rows are laid out now rather than on the next turn of the event
    // loop: a screen reader asking meanwhile is told of the rows shown.
    executeDelayedItemsLayout();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QFontMetrics metrics(option.font);
    const QChar widest = widestDigit(metrics);
    for (const int column : columns) {
        int width = header()->sectionSizeHint(column);
        QSet<QString> measured;
        for (int i = 0; i < topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = topLevelItem(i);
            const QString text = item->text(column);
            const QString key = digitsAs(text, QLatin1Char('0')) +
                                (item->icon(column).isNull() ? QString() : QStringLiteral("+"));
            if (measured.contains(key))
                continue;
            measured.insert(key);
            const QModelIndex index = indexFromItem(item, column);
            width = std::max(width, itemDelegateForIndex(index)->sizeHint(option, index).width() +
                                        metrics.horizontalAdvance(digitsAs(text, widest)) -
                                        metrics.horizontalAdvance(text));
        }
        setColumnWidth(column, width);
    }
}

QStringList ExerciseList::mimeTypes() const
{
    return {DragFormat};
}

QMimeData *ExerciseList::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    if (items.size() != 1 || !items.first()->data(0, HasTextRole).toBool())
        return nullptr;
    auto *data = new QMimeData;
    const QTreeWidgetItem *item = items.first();
    data->setData(DragFormat, listId(this) + ' ' +
                                  QByteArray::number(item->data(0, NumberRole).toInt()) + '\n' +
                                  item->text(1).toUtf8());
    data->setText(item->text(1));
    return data;
}

int ExerciseList::draggedNumber(const QMimeData *data) const
{
    if (!data || !data->hasFormat(DragFormat))
        return 0;
    const QByteArray bytes = data->data(DragFormat);
    const qsizetype end = bytes.indexOf('\n');
    const QList<QByteArray> words = bytes.left(end).split(' ');
    if (end < 0 || words.size() != 3 || words.at(0) + ' ' + words.at(1) != listId(this))
        return 0;
    // The list may have been made again from the folder since the drag began.
    const int number = words.at(2).toInt();
    const QString text = QString::fromUtf8(bytes.mid(end + 1));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = topLevelItem(i);
        if (item->data(0, NumberRole).toInt() == number)
            return item->data(0, HasTextRole).toBool() && item->text(1) == text ? number : 0;
    }
    return 0;
}

void ExerciseList::startDrag(Qt::DropActions)
{
    // The rows stay as they are whatever the drop does: the window shows
    // the folder once the move is made.
    QTreeWidgetItem *item = currentItem();
    if (!m_movable || !item)
        return;
    QMimeData *data = mimeData({item});
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    const QRect rect = visualItemRect(item);
    drag->setPixmap(viewport()->grab(rect));
    drag->setHotSpot(QPoint(rect.height(), rect.height() / 2));
    emit dragStarted();
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void ExerciseList::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_movable && draggedNumber(event->mimeData()) != 0)
        QTreeWidget::dragEnterEvent(event); // accepted, and the drop line shown
    else
        event->ignore();
}

void ExerciseList::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_movable && draggedNumber(event->mimeData()) != 0)
        QTreeWidget::dragMoveEvent(event);
    else
        event->ignore();
}

void ExerciseList::dropEvent(QDropEvent *event)
{
    const int number = m_movable ? draggedNumber(event->mimeData()) : 0;
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (number == 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The move runs once the drag is over: it may ask and show messages.
    if (const int target = dropTarget(number, event->position().toPoint()); target != 0)
        QMetaObject::invokeMethod(
            this, [this, number, target] { emit moveRequested(number, target); },
            Qt::QueuedConnection);
}

} // namespace letro::editor

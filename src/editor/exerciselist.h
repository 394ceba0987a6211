// One type's list of exercises in the editor's window, one row each, lone
// recordings included. A row of an exercise can be dragged to another place
// in the same list: the list works out the number the exercise goes to and
// asks for the move (moveRequested); the window makes it as one change. The
// list never moves its own rows: it shows the folder, and the folder
// changes first.
#pragma once

#include <QTreeWidget>

namespace letro::editor {

class ExerciseList : public QTreeWidget
{
    Q_OBJECT

public:
    // Each row's exercise number (in column 0) and whether it has a text.
    static constexpr int NumberRole = Qt::UserRole;
    static constexpr int HasTextRole = Qt::UserRole + 1;

    explicit ExerciseList(QWidget *parent = nullptr);

    // Whether rows can be dragged and dropped (not while the folder is
    // only shown).
    void setMovable(bool movable);
    bool isMovable() const { return m_movable; }

    // The number exercise `number` gets when dropped at `pos` (in the
    // viewport): the drop goes before the row under `pos` when in its upper
    // half, else after it. 0 when it stays where it is.
    int dropTarget(int number, const QPoint &pos) const;

    // Makes each of `columns` as wide as its heading and the widest text
    // its rows show. Each distinct text is measured once (numbers once per
    // count of digits), once the rows are in: the header's own fitting to
    // contents measures every cell at every layout, far too slow for a list
    // of hundreds of rows. The rows are laid out first, so that what a
    // screen reader is told of the table is what it now holds.
    void fitColumns(const QList<int> &columns);

signals:
    // A row starts being dragged: what the list shows then is what the
    // teacher moves.
    void dragStarted();
    void moveRequested(int number, int target);

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The exercise a drag carries when it comes from a row of this list
    // that still shows the same text; else 0.
    int draggedNumber(const QMimeData *data) const;

    bool m_movable = false;
};

} // namespace letro::editor

// The dialog in which the teacher types the number a dictation moves to:
// a question, a number box limited to the numbers there are, "Mover" and
// "Cancelar". Enter moves, Escape cancels.
#pragma once

#include <QDialog>

class QSpinBox;

namespace letro::editor {

class NumberDialog : public QDialog
{
    Q_OBJECT

public:
    NumberDialog(const QString &title, const QString &question, int value, int minimum, int maximum,
                 QWidget *parent = nullptr);
    int value() const;

private:
    QSpinBox *m_number = nullptr;
};

} // namespace letro::editor

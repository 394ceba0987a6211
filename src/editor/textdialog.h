// The dialog in which the teacher writes the text of an exercise. A text
// that cannot be an exercise cannot be saved; the reason is shown while
// typing.
#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace letro::editor {

class TextDialog : public QDialog
{
    Q_OBJECT

public:
    TextDialog(const QString &title, const QString &text, QWidget *parent = nullptr);
    QString text() const;

private:
    void check();

    QLineEdit *m_edit = nullptr;
    QLabel *m_problem = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};

} // namespace letro::editor

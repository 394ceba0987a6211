// The class list of an account a class shares, as the teacher writes it: one
// name per line. Saving cleans it (classlist.h) and writes it whole; with
// names in it, the pupil's program asks "¿Quién eres?" at the start.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace letro::editor {

class ClassListDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ClassListDialog(const QString &path, QWidget *parent = nullptr);

    // What the teacher is told once the list is saved.
    QString savedMessage() const { return m_saved; }

    void accept() override;

private:
    QString m_path;
    QString m_saved;
    QPlainTextEdit *m_names = nullptr;
    QLabel *m_problem = nullptr;
};

// What is said once `names` (as kept) are saved.
QString classListSavedMessage(const QStringList &names);

} // namespace letro::editor

#include "editor/textdialog.h"

#include "folder/exercisefolder.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace letro::editor {

using folder::textProblem;

TextDialog::TextDialog(const QString &title, const QString &text, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TextDialog"));
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *help = new QLabel(QStringLiteral("Escriba el dictado tal como lo tiene que escribir "
                                           "el alumno: mayúsculas, tildes, espacios y signos "
                                           "de puntuación incluidos."),
                            this);
    help->setWordWrap(true);
    layout->addWidget(help);

    m_edit = new QLineEdit(text, this);
    m_edit->setObjectName(QStringLiteral("textEdit"));
    m_edit->setAccessibleName(QStringLiteral("Texto del dictado"));
    m_edit->setMinimumWidth(480);
    QFont font = m_edit->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    m_edit->setFont(font);
    layout->addWidget(m_edit);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problemLabel"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("buttons"));
    m_buttons->button(QDialogButtonBox::Save)->setDefault(true); // Enter saves
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_edit, &QLineEdit::textChanged, this, &TextDialog::check);
    check();
}

QString TextDialog::text() const
{
    return m_edit->text();
}

void TextDialog::check()
{
    const QString problem = textProblem(text());
    m_buttons->button(QDialogButtonBox::Save)->setEnabled(problem.isEmpty());
    if (!problem.isEmpty() && !text().isEmpty()) {
        m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
        m_problem->setText(QStringLiteral("No se puede guardar: ") + problem + QLatin1Char('.'));
    } else if (text() != text().trimmed()) {
        // Allowed, but easily done by mistake.
        m_problem->setStyleSheet(QStringLiteral("color: #805000"));
        m_problem->setText(QStringLiteral("Ojo: el texto empieza o acaba con un espacio, y el "
                                          "alumno también tendrá que escribirlo."));
    } else {
        m_problem->clear();
    }
}

} // namespace letro::editor

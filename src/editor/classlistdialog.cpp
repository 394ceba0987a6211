#include "classlistdialog.h"

#include "progress/classlist.h"
#include "ui/accessibility.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace letro::editor {

QString classListSavedMessage(const QStringList &names)
{
    if (names.isEmpty())
        return QStringLiteral("La lista de la clase está vacía: Letro no pregunta quién es; "
                              "el alumno es el usuario del escritorio.");
    return QStringLiteral("Guardada la lista de la clase (%1): Letro preguntará «¿Quién eres?» "
                          "al empezar.")
        .arg(names.size() == 1 ? QStringLiteral("1 nombre")
                               : QStringLiteral("%1 nombres").arg(names.size()));
}

ClassListDialog::ClassListDialog(const QString &path, QWidget *parent)
    : QDialog(parent), m_path(path)
{
    setObjectName(QStringLiteral("ClassListDialog"));
    setWindowTitle(QStringLiteral("Lista de la clase"));
    auto *layout = new QVBoxLayout(this);
    auto *note = new QLabel(
        QStringLiteral("Si la clase comparte una cuenta del ordenador, escriba aquí los nombres "
                       "de los alumnos, uno por línea. Con una lista, Letro pregunta "
                       "«¿Quién eres?» al empezar, para guardar los resultados de cada uno. "
                       "Sin nombres, no pregunta nada."),
        this);
    note->setObjectName(QStringLiteral("classListNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    auto *label = new QLabel(QStringLiteral("&Nombres, uno por línea:"), this);
    label->setObjectName(QStringLiteral("classListLabel"));
    layout->addWidget(label);
    m_names = new QPlainTextEdit(this);
    m_names->setObjectName(QStringLiteral("classListEdit"));
    m_names->setAccessibleName(QStringLiteral("Nombres de los alumnos, uno por línea"));
    m_names->setAccessibleDescription(note->text());
    m_names->setTabChangesFocus(true); // the keyboard alone reaches the buttons
    label->setBuddy(m_names);
    layout->addWidget(m_names, 1);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("classListProblem"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    layout->addWidget(m_problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("classListButtons"));
    QPushButton *save = buttons->button(QDialogButtonBox::Save);
    save->setObjectName(QStringLiteral("saveClassListButton"));
    save->setText(QStringLiteral("&Guardar"));
    QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelClassListButton"));
    cancel->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ClassListDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ClassListDialog::reject);
    layout->addWidget(buttons);

    // A few hundred short names: read at once.
    const progress::ClassList list = progress::readClassList(m_path);
    m_names->setPlainText(list.names.join(QLatin1Char('\n')));
    if (!list.problem.isEmpty()) {
        m_problem->setText(list.problem);
        m_problem->show();
    }
    resize(420, 460);
}

void ClassListDialog::accept()
{
    const QStringList names =
        progress::cleanClassList(m_names->toPlainText().split(QLatin1Char('\n')));
    if (const QString problem = progress::writeClassList(m_path, names); !problem.isEmpty()) {
        m_problem->setText(problem);
        m_problem->show();
        announce(this, problem);
        return;
    }
    m_saved = classListSavedMessage(names);
    QDialog::accept();
}

} // namespace letro::editor

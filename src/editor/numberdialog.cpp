#include "editor/numberdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace letro::editor {

NumberDialog::NumberDialog(const QString &title, const QString &question, int value, int minimum,
                           int maximum, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("NumberDialog"));
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *help = new QLabel(question, this);
    help->setObjectName(QStringLiteral("questionLabel"));
    help->setWordWrap(true);
    layout->addWidget(help);

    m_number = new QSpinBox(this);
    m_number->setObjectName(QStringLiteral("numberBox"));
    m_number->setRange(minimum, maximum);
    m_number->setValue(value);
    const QString range = QStringLiteral("del %1 al %2").arg(minimum).arg(maximum);
    m_number->setAccessibleName(QStringLiteral("Número nuevo, ") + range);
    m_number->setToolTip(QStringLiteral("Un número ") + range);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Número (%1):").arg(range), m_number);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttons"));
    QPushButton *move = buttons->addButton(QStringLiteral("&Mover"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    move->setDefault(true); // Enter in the number box moves
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_number->selectAll();
    m_number->setFocus();
}

int NumberDialog::value() const
{
    return m_number->value();
}

} // namespace letro::editor

#include "app/whoareyou.h"

#include "exercise/progressnote.h"
#include "progress/classlist.h"
#include "progress/progresssession.h"
#include "ui/accessibility.h"
#include "ui/buttonkeys.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace letro {

WhoAreYouDialog::WhoAreYouDialog(const QStringList &names, QWidget *parent) : QDialog(parent)
{
    installAccessibleInterfaces();
    setObjectName(QStringLiteral("WhoAreYouDialog"));
    setWindowTitle(title());
    setAccessibleName(title());
    setModal(true);

    auto *question = new QLabel(title(), this);
    question->setObjectName(QStringLiteral("Question"));
    QFont big = question->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    question->setFont(big);

    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("Names"));
    m_names->setAccessibleName(QStringLiteral("Nombres de la clase"));
    m_names->setAccessibleDescription(QStringLiteral("Elige tu nombre y pulsa Aceptar"));
    m_names->setSelectionMode(QAbstractItemView::SingleSelection);
    m_names->addItems(names);
    m_names->setFont(big);
    m_names->setCurrentRow(0);
    question->setBuddy(m_names);

    auto *buttons = new QDialogButtonBox(this);
    m_accept = buttons->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    m_accept->setObjectName(QStringLiteral("Aceptar"));
    m_accept->setAccessibleName(QStringLiteral("Aceptar"));
    m_accept->setDefault(true);
    m_accept->setFont(big);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // A double click, or Return on a name, chooses it.
    connect(m_names, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(m_names);
    layout->addWidget(buttons);
    letReturnPressButtons(); // Aceptar from the keyboard, with Return as with Space
    m_names->setFocus();
}

QString WhoAreYouDialog::chosenName() const
{
    if (result() != QDialog::Accepted)
        return QString();
    const QListWidgetItem *item = m_names->currentItem();
    return item ? item->text() : QString();
}

void WhoAreYouDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    announce(this, spokenQuestion());
}

bool askWhoIsTyping(QWidget *window, progress::ProgressSession &session,
                    const QString &classListPath)
{
    // An unreadable list is the teacher's matter: the pupil is not troubled
    // with it, and is the desktop user as without a list.
    const progress::ClassList list = progress::readClassList(classListPath);
    if (list.names.isEmpty())
        return false;
    WhoAreYouDialog dialog(list.names, window);
    if (dialog.exec() == QDialog::Accepted && !dialog.chosenName().isEmpty()) {
        session.setPupil(dialog.chosenName());
        return true;
    }
    // Asking again would hold a pupil who only wants to type: the results
    // go under the desktop user, and the pupil is told.
    showProgressNote(window, WhoAreYouDialog::unnamedNote(session.pupil()));
    return true;
}

} // namespace letro

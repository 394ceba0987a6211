#include "helpwindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace letro {

HelpWindow::HelpWindow(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("Ayuda"));
    setWindowTitle(QStringLiteral("Ayuda de Letro"));
    resize(640, 660);

    m_browser->setObjectName(QStringLiteral("TextoAyuda"));
    m_browser->setAccessibleName(QStringLiteral("Texto de la ayuda"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QString::fromLatin1(PageUrl)));

    auto *accents = new QPushButton(QStringLiteral("Acentos (F2)"), this);
    accents->setObjectName(QStringLiteral("BotonAcentos"));
    auto *close = new QPushButton(QStringLiteral("Cerrar"), this);
    close->setObjectName(QStringLiteral("BotonCerrar"));
    connect(accents, &QPushButton::clicked, this, &HelpWindow::accentPadToggled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
            &HelpWindow::accentPadToggled);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(accents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addLayout(buttons);
}

} // namespace letro

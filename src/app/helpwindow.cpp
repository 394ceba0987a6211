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
    // Read as a text with a caret: the arrows, Page Up/Down, Home and End
    // move it line by line, so that a screen reader reads a line at a time.
    // Nothing can be typed into it.
    m_browser->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QString::fromLatin1(PageUrl)));

    auto *accents = new QPushButton(QStringLiteral("Acentos (F2)"), this);
    accents->setObjectName(QStringLiteral("BotonAcentos"));
    auto *progress = new QPushButton(QStringLiteral("Mi progreso (F3)"), this);
    progress->setObjectName(QStringLiteral("BotonProgreso"));
    auto *close = new QPushButton(QStringLiteral("Cerrar"), this);
    close->setObjectName(QStringLiteral("BotonCerrar"));
    connect(accents, &QPushButton::clicked, this, &HelpWindow::accentPadToggled);
    connect(progress, &QPushButton::clicked, this, &HelpWindow::progressRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
            &HelpWindow::accentPadToggled);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this,
            &HelpWindow::progressRequested);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(accents);
    buttons->addWidget(progress);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addLayout(buttons);
    // The window opens on its text, ready to be read.
    m_browser->setFocus();
}

} // namespace letro

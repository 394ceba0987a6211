#include "editor/services.h"

#include "editor/microphonedialog.h"
#include "editor/numberdialog.h"
#include "editor/textdialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>

namespace letro::editor {

namespace {

class QtPlayback : public Playback
{
public:
    void play(const QString &wavPath) override
    {
        // A fresh effect each time: the same file again after the teacher
        // recorded it anew would otherwise come from the effect's cache.
        m_effect = std::make_unique<QSoundEffect>();
        m_effect->setSource(QUrl::fromLocalFile(wavPath));
        m_effect->play();
    }

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(std::shared_ptr<Playback> playback) : m_playback(std::move(playback)) {}

    std::optional<QString> askText(QWidget *parent, const QString &title,
                                   const QString &text) override
    {
        TextDialog dialog(title, text, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.text();
    }

    std::optional<int> askNumber(QWidget *parent, const QString &title, const QString &question,
                                 int value, int minimum, int maximum) override
    {
        NumberDialog dialog(title, question, value, minimum, maximum, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.value();
    }

    bool ask(QWidget *parent, const QString &question, const QString &yes, const QString &no,
             Answer preferred) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Editor de dictados de Letro"),
                        question, QMessageBox::NoButton, parent);
        QPushButton *first = box.addButton(yes, QMessageBox::AcceptRole);
        QPushButton *second = box.addButton(no, QMessageBox::RejectRole);
        box.setDefaultButton(preferred == Answer::Yes ? first : second);
        box.setEscapeButton(second);
        box.exec();
        return box.clickedButton() == first;
    }

    void tell(QWidget *parent, const QString &text) override
    {
        QMessageBox::information(parent, QStringLiteral("Editor de dictados de Letro"), text);
    }

    void warn(QWidget *parent, const QString &text) override
    {
        QMessageBox::warning(parent, QStringLiteral("Editor de dictados de Letro"), text);
    }

    QString chooseFolder(QWidget *parent, const QString &title, const QString &start) override
    {
        return QFileDialog::getExistingDirectory(parent, title, start);
    }

    bool recordVoice(QWidget *parent, const RecordingTarget &target) override
    {
        MicrophoneDialog dialog(target, m_playback, parent);
        return dialog.exec() == QDialog::Accepted;
    }

private:
    std::shared_ptr<Playback> m_playback;
};

} // namespace

EditorServices desktopServices()
{
    EditorServices services;
    services.playback = std::make_shared<QtPlayback>();
    services.dialogs = std::make_shared<QtDialogs>(services.playback);
    services.start = [](const QString &program, const QStringList &arguments,
                        const QString &folder) {
        if (!QFileInfo(program).isExecutable())
            return QStringLiteral("no está el programa «%1»").arg(program);
        if (!QProcess::startDetached(program, arguments, folder))
            return QStringLiteral("no se puede iniciar «%1»").arg(program);
        return QString();
    };
    return services;
}

} // namespace letro::editor

// The typing box's font: the font list button, the list, and the size button.
#include "exercise/form1.h"

#include "exercise/font.h"
#include "ui/richtextbox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>

namespace letro {

void Form1::Command6_Click()
{
    // Every press appends the whole font list once more.
    const QStringList fonts = m_services.fontList();
    for (const QString &name : fonts)
        Combo1->addItem(name);
    // The box keeps its designed width; its list opens wide enough for the
    // longest name.
    QAbstractItemView *list = Combo1->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list));
    Combo1->setEditText(QStringLiteral("Arial"));
    Combo1->show();
}

void Form1::selectWholeTypingBox()
{
    RichTextBox1->setSelStart(0);
    RichTextBox1->setSelLength(RichTextBox1->length());
}

void Form1::Combo1_Click()
{
    selectWholeTypingBox();
    RichTextBox1->setSelFontName(Combo1->currentText());
}

void Form1::Command7_Click()
{
    FontSize = qint16(nextFontSize(FontSize));
    selectWholeTypingBox();
    RichTextBox1->setSelFontSize(FontSize);
}

} // namespace letro

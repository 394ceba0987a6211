#include "ui/inputmethodwarmup.h"

#include <QKeyEvent>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatforminputcontext.h>
#include <qpa/qplatformintegration.h>

#include <cstring>

namespace letro {

void prepareInputMethod()
{
    static bool prepared = false;
    if (prepared)
        return;
    QPlatformIntegration *platform = QGuiApplicationPrivate::platformIntegration();
    QPlatformInputContext *context = platform ? platform->inputContext() : nullptr;
    // Qt offers no public way to do this. The compose context reads its table on
    // the first key press it is asked to filter, so it is handed one that
    // changes nothing: a Shift press, which the compose state ignores (a
    // sequence already begun stays as it was) and which no widget receives.
    if (!context || std::strcmp(context->metaObject()->className(), "QComposeInputContext") != 0)
        return;
    if (!context->inputMethodAccepted())
        return;
    prepared = true;
    constexpr quint32 shiftKeysym = 0xffe1; // XKB_KEY_Shift_L
    const QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier, 0, shiftKeysym, 0);
    context->filterEvent(&shift);
}

} // namespace letro

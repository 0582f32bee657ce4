#include "app/NumLock.h"

#include <QGuiApplication>

#ifdef KVX_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace kvx {

void holdNumLockOn()
{
#ifdef KVX_HAVE_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    const unsigned int mask = XkbKeysymToModifiers(display, XK_Num_Lock);
    if (mask == 0)
        return;
    XkbLockModifiers(display, XkbUseCoreKbd, mask, mask);
    XFlush(display);
#endif
}

} // namespace kvx

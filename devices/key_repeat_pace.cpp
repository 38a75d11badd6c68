#include "devices/key_repeat_pace.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
// Xlib's names (None, Bool, KeyPress...) clash with Qt's, so its headers come last of all.
#include <X11/XKBlib.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

KeyRepeatPace desktopKeyRepeat()
{
    KeyRepeatPace pace;
#if QT_CONFIG(xcb)
    using QNativeInterface::QX11Application;
    if (const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QX11Application>() : nullptr) {
        if (Display *display = x11->display()) {
            XKeyboardState state {};
            XGetKeyboardControl(display, &state);
            pace.repeats = state.global_auto_repeat != AutoRepeatModeOff;
            unsigned int delay = 0, interval = 0;
            if (XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &delay, &interval) && delay > 0
                && interval > 0 && delay < 10000 && interval < 10000) {
                pace.delayMs = int(delay);
                pace.intervalMs = int(interval);
            }
        }
    }
#elif defined(Q_OS_WIN)
    // The keyboard settings of the control panel: a delay of 0 to 3 is 250 ms to 1 s, a speed
    // of 0 to 31 about 2.5 to 30 repeats a second.
    int delay = 0;
    DWORD speed = 0;
    if (::SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0) && delay >= 0 && delay <= 3)
        pace.delayMs = 250 * (delay + 1);
    if (::SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0) && speed <= 31)
        pace.intervalMs = int(1000 / (2.5 + speed * 27.5 / 31));
#endif
    return pace;
}

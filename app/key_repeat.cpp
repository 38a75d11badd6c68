#include "app/key_repeat.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
// Xlib's names (None, Bool, KeyPress...) clash with Qt's, so its headers come after Qt's.
#include <X11/XKBlib.h>
#endif

KeyRepeatPace DesktopKeyRepeat()
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
#endif
    return pace;
}

HeldKeyRepeat::HeldKeyRepeat(std::function<void()> repeat, QObject *parent)
    : QObject(parent), m_repeat(std::move(repeat))
{
    m_timer.setSingleShot(false);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.setInterval(m_pace.intervalMs);
        m_repeat();
    });
}

void HeldKeyRepeat::press()
{
    // Read at the first held key, not at start-up: a pupil who never holds Shift in the buai
    // boxes costs the server no question.
    if (!m_paceRead) {
        m_pace = DesktopKeyRepeat();
        m_paceRead = true;
    }
    if (m_pace.repeats)
        m_timer.start(m_pace.delayMs);
}

void HeldKeyRepeat::release()
{
    m_timer.stop();
}

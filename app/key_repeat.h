// A held key repeated at the desktop's pace, for the keys the X server does not repeat.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

struct KeyRepeatPace
{
    bool repeats = true; // a desktop may have switched key repeat off altogether
    int delayMs = 660; // from the press to the first repeat
    int intervalMs = 40; // between repeats: 25 a second
};

// The X server's repeat switch, delay and interval, or the defaults above where there is no X
// server or it has no keyboard extension.
KeyRepeatPace DesktopKeyRepeat();

// X repeats no modifier key, yet the window's Shift moves back one box with each repeat while
// it is held, as on the desktops the window was made for. Between a real press and its
// release this calls repeat at the desktop's pace, until stop() or release().
class HeldKeyRepeat : public QObject
{
    Q_OBJECT

public:
    HeldKeyRepeat(std::function<void()> repeat, QObject *parent);
    void press();
    void release();

private:
    std::function<void()> m_repeat;
    QTimer m_timer;
    KeyRepeatPace m_pace;
    bool m_paceRead = false;
};

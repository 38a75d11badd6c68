// The one way in for a key: each key event of the application is told apart once, as a press,
// a repeat of a held key or a release, and handed on in one call.
#pragma once

#include "devices/key_repeat_pace.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>

class QKeyEvent;
class QPushButton;
class QWidget;

// A key as the program's rules see it.
struct KeyStroke
{
    enum class Phase { Press, Repeat, Release };
    Phase phase = Phase::Press;
    int key = 0; // Qt::Key
    // X reports a held key as a release and a press with one timestamp, marked as repeats
    // only when both had arrived when Qt looked. A repeat found by its timestamp says that
    // the release handed on just before it was no release at all.
    bool retractsRelease = false;
};

// Installed on the application. Every key reaches `take` once, where it is first delivered
// (the focused widget), whichever window it is in; `take` returns true to swallow it. What a
// key does to a push button is the same in every window, so it is decided here: Return and
// the keypad's Enter press the focused push button as Space does (down on the press, clicked
// on the release), and a held Return, Enter or Space never presses a button or a dialog's
// default button again. Shift, which X never repeats, is repeated here at the desktop's pace
// while it is held, to the focused widget, as the desktops the window was made for repeat it.
class KeyClassifier : public QObject
{
    Q_OBJECT

public:
    using Take = std::function<bool(QWidget *target, const KeyStroke &stroke)>;
    KeyClassifier(Take take, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Held
    {
        bool down = false;
        quint64 pressedAt = 0;
        quint64 releasedAt = 0;
    };
    bool classify(const QKeyEvent &event, KeyStroke &stroke);
    bool buttonKey(QWidget *target, const KeyStroke &stroke);
    void holdShift(bool held);
    const KeyRepeatPace &pace();

    Take m_take;
    std::map<int, Held> m_held;
    QPointer<QPushButton> m_pressedButton; // pressed down by Return or Enter, clicked on release
    int m_pressedBy = 0;
    QTimer m_shiftRepeat;
    KeyRepeatPace m_pace;
    bool m_paceRead = false; // read at the first key that needs it, not at start-up
};

// The one way in for a key: each key event of the application is told apart once, as a press,
// a repeat of a held key or a release, and handed on in one call.
#pragma once

#include "drill/drill.h"
#include "devices/key_repeat_pace.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>

class QKeyEvent;
class QPushButton;
class QWidget;

// A key as the program's rules see it: its phase, and which key it is to an answer box and to
// the kind choice. Which key is which is decided here alone.
struct KeyStroke
{
    KeyPhase phase = KeyPhase::Press;
    int key = 0; // Qt::Key
    BoxKey boxKey = BoxKey::Other;
    std::optional<Arrow> arrow;
};

// Installed on the application. Every key reaches `take` once, where it is first delivered
// (the focused widget), whichever window it is in; `take` returns true to swallow it. X reports
// a held key as a release and a press with one timestamp, marked as repeats only when both had
// arrived when Qt looked; so a release outside a push button is handed on only once the next
// key shows it was no repeat, or a moment later, and a release that was half of a repeat is
// never handed on at all. What a
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
    void handOnRelease();
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
    struct Release
    {
        QPointer<QWidget> target;
        KeyStroke stroke;
        quint64 time = 0;
    };
    std::optional<Release> m_release; // let go, not yet known not to be half of a repeat
    QTimer m_releaseWait;
};

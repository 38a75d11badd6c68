// Enter presses a focused push button, and a held key presses it only once.
#pragma once

#include <QObject>
#include <QPointer>

class QPushButton;

// Watches the application's keys. Return and the keypad's Enter press the focused push button
// as Space does (down on the press, clicked on the release), also in buttons added later; the
// boxes that judge answers keep their own meaning of Enter. A held Return, Enter or Space never
// presses a button or a dialog's default button again, however X reports its repeats.
class ButtonKeys : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // X repeats a held key as a release and a press with the same timestamp; Qt marks the two as
    // repeats only when both have arrived by the time it looks, so an unmarked pair is told
    // apart by its timestamp.
    struct Held
    {
        bool down = false;
        quint64 pressedAt = 0;
        quint64 releasedAt = 0;
        QPointer<QPushButton> button; // pressed down by this key, clicked when it is let go
    };
    Held &heldOf(int key);
    int repeatDelay();
    int m_repeatDelay = 0; // read from the desktop at the first key that needs it
    Held m_return, m_enter, m_space;
};

#include "app/key_classifier.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

#include <utility>

KeyClassifier::KeyClassifier(Take take, QObject *parent) : QObject(parent), m_take(std::move(take))
{
    m_shiftRepeat.setTimerType(Qt::PreciseTimer);
    connect(&m_shiftRepeat, &QTimer::timeout, this, [this] {
        m_shiftRepeat.setInterval(pace().intervalMs);
        QWidget *focus = QApplication::focusWidget();
        if (!focus) {
            m_shiftRepeat.stop();
            return;
        }
        m_take(focus, { KeyStroke::Phase::Repeat, Qt::Key_Shift, false });
    });
}

const KeyRepeatPace &KeyClassifier::pace()
{
    if (!std::exchange(m_paceRead, true))
        m_pace = desktopKeyRepeat();
    return m_pace;
}

bool KeyClassifier::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationDeactivate) {
        // A key let go in another program never reaches us.
        m_held.clear();
        holdShift(false);
        if (const QPointer<QPushButton> button = std::exchange(m_pressedButton, nullptr))
            button->setDown(false);
        return false;
    }
    if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        || !watched->isWidgetType())
        return false;
    // A key event goes from the focused widget up to its window until one takes it; only the
    // first delivery is the key itself.
    auto *target = static_cast<QWidget *>(watched);
    QWidget *focus = target->window()->focusWidget();
    if (target != (focus ? focus : target->window()))
        return false;
    KeyStroke stroke;
    if (!classify(*static_cast<QKeyEvent *>(event), stroke))
        return false;
    return m_take(target, stroke) || buttonKey(target, stroke);
}

bool KeyClassifier::classify(const QKeyEvent &event, KeyStroke &stroke)
{
    stroke.key = event.key();
    Held &held = m_held[stroke.key];
    const quint64 time = event.timestamp();
    if (event.type() == QEvent::KeyRelease) {
        // A release marked as a repeat is half of one: the key is still down.
        if (event.isAutoRepeat())
            return false;
        held.down = false;
        held.releasedAt = time;
        stroke.phase = KeyStroke::Phase::Release;
        if (stroke.key == Qt::Key_Shift)
            holdShift(false);
        return true;
    }
    // A release that came while a box was opening went to no window and was lost; a repeat
    // never comes later than the desktop's repeat delay after the press before it.
    if (held.down && time != 0 && held.pressedAt != 0 && time > held.pressedAt
        && time - held.pressedAt > quint64(pace().delayMs) + 100)
        held.down = false;
    stroke.retractsRelease = time != 0 && time == held.releasedAt;
    const bool repeat = event.isAutoRepeat() || held.down || stroke.retractsRelease;
    held.down = true;
    held.pressedAt = time;
    held.releasedAt = 0;
    stroke.phase = repeat ? KeyStroke::Phase::Repeat : KeyStroke::Phase::Press;
    if (stroke.key == Qt::Key_Shift)
        holdShift(!event.isAutoRepeat()); // a server that repeats Shift itself needs no timer
    return true;
}

void KeyClassifier::holdShift(bool held)
{
    if (!held) {
        m_shiftRepeat.stop();
    } else if (!m_shiftRepeat.isActive() && pace().repeats) {
        m_shiftRepeat.start(pace().delayMs);
    }
}

bool KeyClassifier::buttonKey(QWidget *target, const KeyStroke &stroke)
{
    const int key = stroke.key;
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return false;
    if (stroke.phase == KeyStroke::Phase::Release) {
        if (key != m_pressedBy)
            return false;
        // Pressed when let go, as Space presses it: the key is up before any box it opens.
        const QPointer<QPushButton> button = std::exchange(m_pressedButton, nullptr);
        if (!button || !button->isDown())
            return false;
        button->setDown(false);
        if (target != button)
            return false; // the focus went elsewhere meanwhile: no press, as with Space
        button->click();
        return true;
    }
    auto *button = qobject_cast<QPushButton *>(target);
    if (stroke.phase == KeyStroke::Phase::Repeat) {
        // Swallowed only where a key presses something: a button, or a dialog, whose default
        // button Enter presses from any of its fields.
        return button || qobject_cast<QDialog *>(target->window());
    }
    if (button && key != Qt::Key_Space && !button->autoDefault() && !button->isDefault()) {
        if (button->isEnabled()) {
            button->setDown(true);
            m_pressedButton = button;
            m_pressedBy = key;
        }
        return true;
    }
    return false;
}

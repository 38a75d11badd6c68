#include "app/key_classifier.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

#include <utility>

namespace {

BoxKey boxKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return BoxKey::Enter;
    case Qt::Key_Shift:
        return BoxKey::Shift;
    default:
        return BoxKey::Other;
    }
}

std::optional<Arrow> arrowOf(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return Arrow::Up;
    case Qt::Key_Down:
        return Arrow::Down;
    case Qt::Key_Left:
        return Arrow::Left;
    case Qt::Key_Right:
        return Arrow::Right;
    default:
        return std::nullopt;
    }
}

KeyStroke strokeOf(KeyPhase phase, int key)
{
    return { phase, key, boxKeyOf(key), arrowOf(key) };
}

} // namespace

KeyClassifier::KeyClassifier(Take take, QObject *parent) : QObject(parent), m_take(std::move(take))
{
    // The press of a repeat follows its release at once; a pupil's next key is far later.
    m_releaseWait.setSingleShot(true);
    m_releaseWait.setInterval(30);
    connect(&m_releaseWait, &QTimer::timeout, this, &KeyClassifier::handOnRelease);
    m_shiftRepeat.setTimerType(Qt::PreciseTimer);
    connect(&m_shiftRepeat, &QTimer::timeout, this, [this] {
        m_shiftRepeat.setInterval(pace().intervalMs);
        QWidget *focus = QApplication::focusWidget();
        if (!focus) {
            m_shiftRepeat.stop();
            return;
        }
        m_take(focus, strokeOf(KeyPhase::Repeat, Qt::Key_Shift));
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
        handOnRelease();
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
    const auto &key = *static_cast<QKeyEvent *>(event);
    KeyStroke stroke;
    if (!classify(key, stroke))
        return false;
    if (stroke.phase == KeyPhase::Release && !qobject_cast<QPushButton *>(target)) {
        handOnRelease();
        m_release = Release { target, stroke, key.timestamp() };
        m_releaseWait.start();
        return false;
    }
    return m_take(target, stroke) || buttonKey(target, stroke);
}

void KeyClassifier::handOnRelease()
{
    m_releaseWait.stop();
    if (const std::optional<Release> release = std::exchange(m_release, std::nullopt);
        release && release->target)
        m_take(release->target, release->stroke);
}

bool KeyClassifier::classify(const QKeyEvent &event, KeyStroke &stroke)
{
    stroke = strokeOf(KeyPhase::Press, event.key());
    Held &held = m_held[stroke.key];
    const quint64 time = event.timestamp();
    if (event.type() == QEvent::KeyRelease) {
        // A release marked as a repeat is half of one: the key is still down.
        if (event.isAutoRepeat())
            return false;
        held.down = false;
        held.releasedAt = time;
        stroke.phase = KeyPhase::Release;
        if (stroke.key == Qt::Key_Shift)
            holdShift(false);
        return true;
    }
    // A release that came while a box was opening went to no window and was lost; a repeat
    // never comes later than the desktop's repeat delay after the press before it.
    // A key handed on again by the accessibility bridge, as under a screen reader, carries no
    // time at all: only its own repeat mark tells a repeat, and a release it lost on the way
    // must not leave the key held for good.
    if (held.down
        && (time == 0
            || (held.pressedAt != 0 && time > held.pressedAt
                && time - held.pressedAt > quint64(pace().delayMs) + 100)))
        held.down = false;
    const bool halfOfRepeat = time != 0 && time == held.releasedAt;
    if (halfOfRepeat && m_release && m_release->stroke.key == stroke.key
        && m_release->time == time) {
        m_release.reset();
        m_releaseWait.stop();
    } else {
        handOnRelease();
    }
    const bool repeat = event.isAutoRepeat() || held.down || halfOfRepeat;
    held.down = true;
    held.pressedAt = time;
    held.releasedAt = 0;
    stroke.phase = repeat ? KeyPhase::Repeat : KeyPhase::Press;
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
    if (stroke.phase == KeyPhase::Release) {
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
    if (stroke.phase == KeyPhase::Repeat) {
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

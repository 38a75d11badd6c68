#include "app/button_keys.h"

#include "app/form1.h"
#include "app/key_repeat.h"
#include "drill/drill_state.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <utility>

ButtonKeys::Held &ButtonKeys::heldOf(int key)
{
    return key == Qt::Key_Return ? m_return : key == Qt::Key_Enter ? m_enter : m_space;
}

int ButtonKeys::repeatDelay()
{
    if (m_repeatDelay == 0)
        m_repeatDelay = DesktopKeyRepeat().delayMs;
    return m_repeatDelay;
}

namespace {

// The nine answer boxes count every Enter themselves (a sound for each repeat, a judgement for
// a fresh one); their keys pass untouched.
bool isAnswerBox(QObject *watched)
{
    if (!Form1)
        return false;
    for (int code : EntryBoxCodes) {
        if (Form1->entryBox(code) == watched)
            return true;
    }
    return false;
}

} // namespace

bool ButtonKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationDeactivate) {
        // A key let go in another program never reaches us.
        m_return = m_enter = m_space = {};
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const int key = keyEvent->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return false;
    if (!watched->isWidgetType())
        return false;
    Held &held = heldOf(key);
    const quint64 time = keyEvent->timestamp();
    if (event->type() == QEvent::KeyRelease) {
        if (keyEvent->isAutoRepeat())
            return false;
        held.down = false;
        held.releasedAt = time;
        // Pressed when let go, as Space presses it: the key is up before any box it opens.
        const QPointer<QPushButton> button = std::exchange(held.button, nullptr);
        if (!button || !button->isDown())
            return false;
        button->setDown(false);
        if (watched != button)
            return false; // the focus went elsewhere meanwhile: no press, as with Space
        button->click();
        return true;
    }
    // A key event goes from the focused widget up to its window until one takes it; only the
    // first delivery is the key itself.
    auto *widget = static_cast<QWidget *>(watched);
    QWidget *focus = widget->window()->focusWidget();
    if (widget != (focus ? focus : widget->window()))
        return false;
    // A release that came while a box was opening went to no window and was lost; a repeat
    // never comes later than the desktop's repeat delay after the press before it.
    if (held.down && time != 0 && held.pressedAt != 0 && time > held.pressedAt
        && time - held.pressedAt > quint64(repeatDelay()) + 100)
        held.down = false;
    const bool repeat =
            keyEvent->isAutoRepeat() || held.down || (time != 0 && time == held.releasedAt);
    held.down = true;
    held.pressedAt = time;
    held.releasedAt = 0;
    if (isAnswerBox(watched))
        return false;
    auto *button = qobject_cast<QPushButton *>(widget);
    const bool inDialog = qobject_cast<QDialog *>(widget->window());
    if (repeat) {
        // Swallowed only where a key presses something: a button, or a dialog, whose default
        // button Enter presses from any of its fields.
        return button || inDialog;
    }
    if (button && key != Qt::Key_Space && !button->autoDefault() && !button->isDefault()) {
        if (button->isEnabled()) {
            button->setDown(true);
            held.button = button;
        }
        return true;
    }
    return false;
}

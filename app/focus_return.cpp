#include "app/focus_return.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

FocusReturn::FocusReturn(QWidget *window) : QObject(window), m_window(window) {}

bool FocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Hide || !watched->isWidgetType())
        return false;
    auto *box = static_cast<QWidget *>(watched);
    if (!box->isWindow() || box == m_window || box->windowType() == Qt::ToolTip
        || box->windowType() == Qt::Popup || (!m_window->isAncestorOf(box) && !box->isModal()))
        return false;
    // After the box's own event loop has returned and the handler that opened it has set the
    // focus it wants.
    QTimer::singleShot(0, m_window, [window = m_window] {
        if (QApplication::activeModalWidget() || !window->isVisible()
            || QApplication::activeWindow() == window)
            return;
        window->activateWindow();
        if (QWidget *focus = window->focusWidget())
            focus->setFocus(Qt::ActiveWindowFocusReason);
    });
    return false;
}

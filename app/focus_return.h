// The focus back in the window when a box over it closes.
#pragma once

#include <QObject>

class QWidget;

// When a box over the window closes (the input box, a message box, the print dialog, a report),
// the window is made active again, so the keys go on to where the pupil was: the answer box a
// handler focused, or the button that opened the box. Without a window manager, or with one
// that does not hand activation back, the keys would otherwise go nowhere.
class FocusReturn : public QObject
{
    Q_OBJECT

public:
    explicit FocusReturn(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};

// Shared by the window benchmarks: the answer to the problem on show, and a key sent to a box.
#pragma once

#include "app/form1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QString>

// Worked out from the row, so the time measured is the window's, not a number text's.
inline QString answerText(TForm1 &w)
{
    const ProblemRow &row = w.drill().ProblemTable[w.drill().CurrentNo];
    for (int field = 1; field <= 6; ++field) {
        if (row.field(field) < 0)
            return QString::asprintf("%.2f", -row.field(field));
    }
    return QString();
}

inline void sendKey(QWidget *to, QEvent::Type type, Qt::Key key, const QString &text)
{
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &event);
}

// What the monkey does with the print button: a printer that records pages, and both message
// boxes answered at random.
#pragma once

#include "app/form1.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTimer>

#include <functional>

// Runs `answer` on the first modal widget that opens, trying for a while.
inline void WhenModalOpens(std::function<void(QWidget *)> answer, int attempts = 500)
{
    QTimer::singleShot(attempts == 500 ? 0 : 2, [answer = std::move(answer), attempts]() mutable {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            answer(modal);
            return;
        }
        if (attempts > 0)
            WhenModalOpens(std::move(answer), attempts - 1);
    });
}

inline void MonkeyPrepare(TForm1 &) {}

// True when the click may have rebuilt the problem set.
inline bool MonkeyPrint(TForm1 &, QRandomGenerator &) { return false; }

// What the monkey does with the print button: a printer that counts jobs, and the message boxes
// and the print dialog answered at random.
#pragma once

#include "app/form1.h"
#include "devices/worksheet_printer.h"
#include "drill/drill.h"
#include "drill/random.h"
#include "print/worksheet_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

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

// Jobs counted, pages dropped; the dialog answered at random, and a job that sometimes cannot
// start.
class MonkeyPrinter : public WorksheetPrinter
{
public:
    QRandomGenerator *rng = nullptr;
    int jobs = 0;

    bool choose(QWidget *, int) override { return rng->bounded(4) != 0; }
    PageChoice pageChoice() override { return {}; }
    // An A4 sheet at the 600 dpi the sheets print with.
    PrintableArea printableArea() override { return { 4960, 7016 }; }
    std::unique_ptr<WorksheetJob> makeJob() override { return std::make_unique<Job>(*this); }

private:
    struct Job : WorksheetJob
    {
        MonkeyPrinter &printer;
        explicit Job(MonkeyPrinter &p) : printer(p) {}
        Result<void> beginJob() override
        {
            ++printer.jobs;
            if (printer.rng->bounded(20) == 0)
                return Failure(u"the monkey's printer refused"_s);
            return {};
        }
        Result<void> newPage() override { return {}; }
        Result<void> endJob() override { return {}; }
        void setFont(const QString &, int) override {}
        int textWidth(const QString &text) override { return int(text.size()) * 100; }
        int textHeight(const QString &) override { return 120; }
        void textOut(int, int, const QString &) override {}
        void moveTo(int, int) override {}
        void lineTo(int, int) override {}
    };
};

inline MonkeyPrinter *monkeyPrinter = nullptr;

inline void MonkeyPrepare(TForm1 &window)
{
    auto printer = std::make_unique<MonkeyPrinter>();
    monkeyPrinter = printer.get();
    window.PrinterSetupDialog1 = std::move(printer);
}

// Each message box that opens gets a random button, Escape, Enter or its title-bar close.
inline void answerMessageBoxes(QRandomGenerator &rng, int left)
{
    if (left == 0)
        return;
    const int choice = int(rng.bounded(4));
    const int pick = int(rng.bounded(2));
    WhenModalOpens([&rng, left, choice, pick](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        answerMessageBoxes(rng, left - 1);
        if (choice == 0)
            box->close();
        else if (choice == 1)
            QMetaObject::invokeMethod(box, [box] {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(box, &escape);
            });
        else {
            const QList<QAbstractButton *> buttons = box->buttons();
            buttons[pick % buttons.size()]->click();
        }
    });
}

// True when the click may have rebuilt the problem set.
inline bool MonkeyPrint(TForm1 &window, QRandomGenerator &rng)
{
    monkeyPrinter->rng = &rng;
    const int jobsBefore = monkeyPrinter->jobs;
    const std::uint32_t seedBefore = window.drill().Rng.seed;
    answerMessageBoxes(rng, 2);
    window.BitBtn1Click();
    QCoreApplication::processEvents();
    return monkeyPrinter->jobs != jobsBefore || window.drill().Rng.seed != seedBefore;
}

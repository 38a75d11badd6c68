// What the monkey does with the print button: a printer that records pages, and the message
// boxes and the print dialog answered at random.
#pragma once

#include "app/form1.h"
#include "print/worksheet_printer.h"
#include "drill/drill_state.h"
#include "drill/random.h"
#include "print/worksheet_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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

// Pages counted and dropped; the dialog answered at random.
class MonkeyPrinter : public WorksheetPrintHooks, public WorksheetJob
{
public:
    QRandomGenerator *rng = nullptr;
    int pages = 0;
    int jobs = 0;

    bool runPrintDialog(QPrinter &) override { return rng->bounded(4) != 0; }
    std::unique_ptr<WorksheetJob> makeJob(QPrinter &) override
    {
        struct Forward : WorksheetJob
        {
            MonkeyPrinter &to;
            explicit Forward(MonkeyPrinter &t) : to(t) {}
            bool BeginJob() override { return to.BeginJob(); }
            bool NewPage() override { return to.NewPage(); }
            bool EndJob() override { return to.EndJob(); }
            QString errorText() const override { return to.errorText(); }
            void SetFont(const QString &f, int s) override { to.SetFont(f, s); }
            int TextWidth(const QString &t) override { return to.TextWidth(t); }
            int TextHeight(const QString &t) override { return to.TextHeight(t); }
            void TextOut(int x, int y, const QString &t) override { to.TextOut(x, y, t); }
            void MoveTo(int x, int y) override { to.MoveTo(x, y); }
            void LineTo(int x, int y) override { to.LineTo(x, y); }
        };
        return std::make_unique<Forward>(*this);
    }
    bool BeginJob() override
    {
        ++jobs;
        ++pages;
        return rng->bounded(20) != 0;
    }
    bool NewPage() override
    {
        ++pages;
        return true;
    }
    bool EndJob() override { return true; }
    QString errorText() const override { return QStringLiteral("the monkey's printer refused"); }
    void SetFont(const QString &, int) override {}
    int TextWidth(const QString &text) override { return int(text.size()) * 100; }
    int TextHeight(const QString &) override { return 120; }
    void TextOut(int, int, const QString &) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
};

inline MonkeyPrinter *monkeyPrinter = nullptr;

inline void MonkeyPrepare(TForm1 &window)
{
    auto printer = std::make_unique<MonkeyPrinter>();
    monkeyPrinter = printer.get();
    window.printHooks = std::move(printer);
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
    const std::uint32_t seedBefore = Rng.seed;
    answerMessageBoxes(rng, 2);
    window.BitBtn1Click();
    QCoreApplication::processEvents();
    return monkeyPrinter->jobs != jobsBefore || Rng.seed != seedBefore;
}

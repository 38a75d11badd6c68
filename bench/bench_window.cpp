// One answer on the real window (offscreen): Enter in the answer box until the next problem is
// laid out and focused, against laying out a problem alone; and Enter until the next problem is
// drawn, with the diagram panel shown against it hidden, in turns: what the answer changed, as
// the event loop paints it, or the whole window repainted.
#include "app/form1.h"
#include "bench/window_answers.h"
#include "media/feedback_media.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QWindow>

#include <chrono>
#include <cstdint>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Pictures and sounds are measured by their own tests; here they would only add disk reads.
class SilentFeedback : public Feedback
{
public:
    void ShowPicture(const QString &) override {}
    void PlaySound(const QString &) override {}
};

TForm1 &window()
{
    static SilentFeedback silent;
    static TForm1 *form = [] {
        auto *f = new TForm1;
        f->setFeedback(&silent);
        f->show();
        // Until the window is exposed, a repaint draws nothing and both cases measure the same.
        while (!f->windowHandle() || !f->windowHandle()->isExposed())
            QApplication::processEvents();
        return f;
    }();
    return *form;
}

enum class Drawn { No, WholeWindow, Changed };

// The pupil's answer typed into its box, and the thinking time after it: not measured.
QLineEdit *typeAnswer(TForm1 &w, Drawn drawn)
{
    if (w.drill().CurrentNo >= 100)
        w.Button1Click();
    QLineEdit *box = w.entryBox(w.drill().AnswerField);
    box->setText(answerText(w));
    sendKey(box, QEvent::KeyRelease, Qt::Key_0, u"0"_s);
    // The frame, then what the window leaves for after it.
    if (drawn != Drawn::No) {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    return box;
}

// Enter, until the next problem is laid out, or drawn.
void pressEnter(TForm1 &w, QLineEdit *box, Drawn drawn)
{
    sendKey(box, QEvent::KeyPress, Qt::Key_Return, u"\r"_s);
    if (drawn == Drawn::WholeWindow)
        w.repaint();
    else if (drawn == Drawn::Changed)
        QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void answer(benchmark::State &state)
{
    TForm1 &w = window();
    w.drill().ProblemKind = Kind(7);
    w.Button1Click();
    for (auto _ : state) {
        state.PauseTiming();
        QLineEdit *box = typeAnswer(w, Drawn::No);
        state.ResumeTiming();
        pressEnter(w, box, Drawn::No);
    }
}

// The panel shown and hidden in turns, twenty answers at a time to the same twenty problems,
// the first two after each switch (which paint the whole panel) left out. This machine's own
// swings move a case's time by a tenth and more from one repetition to the next; taken in
// turns a few milliseconds apart, both cases meet the same swings and the same numbers, and
// their ratio holds.
void answerInTurns(benchmark::State &state, Drawn drawn)
{
    using Seconds = std::chrono::duration<double>;
    constexpr int Turn = 20;
    constexpr int Settle = 2;
    TForm1 &w = window();
    w.drill().ProblemKind = Kind(7);
    Seconds hidden {};
    std::uint32_t seed = 1;
    bool shownFirst = false;
    for (auto _ : state) {
        Seconds spent[2] {};
        for (const bool shown : { shownFirst, !shownFirst }) {
            w.diagramSwitch->setChecked(shown);
            // Seeded as a worksheet print seeds its set.
            w.drill().WorksheetPrinting = true;
            w.drill().Rng.seed = seed;
            w.Button1Click();
            w.drill().WorksheetPrinting = false;
            for (int i = 0; i < Turn; ++i) {
                QLineEdit *box = typeAnswer(w, drawn);
                const auto start = std::chrono::steady_clock::now();
                pressEnter(w, box, drawn);
                if (i >= Settle)
                    spent[shown] += std::chrono::steady_clock::now() - start;
            }
        }
        ++seed;
        shownFirst = !shownFirst;
        state.SetIterationTime(spent[true].count() / (Turn - Settle));
        hidden += spent[false];
    }
    // Read by the ratio printer as this case's baseline, per answer, in microseconds.
    state.counters["baseline"] =
            hidden.count() / (Turn - Settle) / static_cast<double>(state.iterations()) * 1e6;
    w.diagramSwitch->setChecked(false);
}

void showProblem(benchmark::State &state)
{
    TForm1 &w = window();
    w.drill().ProblemKind = Kind(7);
    w.Button1Click();
    for (auto _ : state) {
        w.drill().CurrentNo = w.drill().CurrentNo % 100 + 1;
        w.ShowProblem();
    }
}

} // namespace

BENCHMARK(answer)->Name("Answer/window")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(answerInTurns, changed, Drawn::Changed)
        ->Name("DiagramShown/changed")
        ->UseManualTime()
        ->MinTime(0.05)
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(answerInTurns, whole, Drawn::WholeWindow)
        ->Name("DiagramShown/whole window")
        ->UseManualTime()
        ->MinTime(0.05)
        ->Unit(benchmark::kMicrosecond);
BENCHMARK(showProblem)->Name("Answer/baseline")->Unit(benchmark::kMicrosecond);

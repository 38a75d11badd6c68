// One answer on the real window (offscreen): Enter in the answer box until the next problem is
// laid out and focused, against laying out a problem alone; and Enter until the next problem is
// drawn, with the diagram panel shown against it hidden: the whole window repainted, or what
// the answer changed, as the event loop paints it.
#include "app/form1.h"
#include "bench/window_answers.h"
#include "media/feedback_media.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QWindow>

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

void answer(benchmark::State &state, bool diagram, Drawn drawn)
{
    TForm1 &w = window();
    w.diagramSwitch->setChecked(diagram);
    w.drill().ProblemKind = Kind(7);
    w.Button1Click();
    for (auto _ : state) {
        state.PauseTiming();
        if (w.drill().CurrentNo >= 100)
            w.Button1Click();
        QLineEdit *box = w.entryBox(w.drill().AnswerField);
        box->setText(answerText(w));
        sendKey(box, QEvent::KeyRelease, Qt::Key_0, u"0"_s);
        // The pupil's thinking time: the frame, then what the window leaves for after it.
        if (drawn != Drawn::No) {
            QApplication::processEvents();
            QApplication::processEvents();
        }
        state.ResumeTiming();
        sendKey(box, QEvent::KeyPress, Qt::Key_Return, u"\r"_s);
        if (drawn == Drawn::WholeWindow)
            w.repaint();
        else if (drawn == Drawn::Changed)
            QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
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

BENCHMARK_CAPTURE(answer, hidden, false, Drawn::No)
        ->Name("Answer/window")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(answer, hidden, false, Drawn::WholeWindow)
        ->Name("DiagramAnswer/baseline")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(answer, shown, true, Drawn::WholeWindow)
        ->Name("DiagramAnswer/window")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(answer, hidden, false, Drawn::Changed)
        ->Name("DiagramDirty/baseline")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(answer, shown, true, Drawn::Changed)
        ->Name("DiagramDirty/window")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK(showProblem)->Name("Answer/baseline")->Unit(benchmark::kMicrosecond);

// Printing 100 problems (20 pages) to a PDF file, against a bare QPainter that draws the same
// texts and lines into a PDF.
#include "drill/problem_set.h"
#include "devices/printer_job.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

ProblemTableData &table()
{
    static ProblemTableData t = [] {
        ProblemTableData made;
        RandomGenerator rng;
        rng.seed = 2026;
        makeProblemTable(made, Kind::AmountsToRatio, rng);
        return made;
    }();
    return t;
}

void configure(QPrinter &printer, const QString &file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    PrinterJob::useWorksheetResolution(printer);
}

// What the sheets draw, recorded once in the printer's real metrics.
struct Recorder : WorksheetJob
{
    struct Op
    {
        bool text;
        int x, y, x2, y2;
        QString string;
    };
    QList<QList<Op>> pages;
    QFont font;
    QFontMetrics metrics;
    QPoint pen;
    explicit Recorder(const QFont &f, QPaintDevice *device) : font(f), metrics(f, device) {}
    Result<void> beginJob() override
    {
        pages.append(QList<Op> {});
        return {};
    }
    Result<void> newPage() override
    {
        pages.append(QList<Op> {});
        return {};
    }
    Result<void> endJob() override { return {}; }
    void setFont(const QString &, int) override {}
    int textWidth(const QString &t) override { return metrics.horizontalAdvance(t); }
    int textHeight(const QString &) override { return metrics.height(); }
    void textOut(int x, int y, const QString &t) override
    {
        pages.last().append({ true, x, y, 0, 0, t });
    }
    void moveTo(int x, int y) override { pen = { x, y }; }
    void lineTo(int x, int y) override
    {
        pages.last().append({ false, pen.x(), pen.y(), x, y, {} });
        pen = { x, y };
    }
};

void printedWorksheets(benchmark::State &state)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    configure(printer, dir.filePath(u"sheets.pdf"_s));
    const PrintableArea area = PrinterJob::printableArea(printer);
    for (auto _ : state) {
        PrinterJob job(printer);
        const auto printed = printWorksheets(job, table(), 100, area);
        if (!printed || printed.value() != 20)
            state.SkipWithError("not 20 pages");
    }
}

void barePainter(benchmark::State &state)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    configure(printer, dir.filePath(u"bare.pdf"_s));
    QFont font(u"ＭＳゴシック"_s);
    font.setPointSize(14);
    Recorder recorder(font, &printer);
    (void)printWorksheets(recorder, table(), 100, PrinterJob::printableArea(printer));
    for (auto _ : state) {
        QPainter painter(&printer);
        for (qsizetype p = 0; p < recorder.pages.size(); ++p) {
            if (p > 0)
                printer.newPage();
            painter.setFont(font);
            const int ascent = painter.fontMetrics().ascent();
            for (const Recorder::Op &op : recorder.pages[p]) {
                if (op.text)
                    painter.drawText(op.x, op.y + ascent, op.string);
                else
                    painter.drawLine(op.x, op.y, op.x2, op.y2);
            }
        }
        painter.end();
    }
}

} // namespace

BENCHMARK(printedWorksheets)->Name("Print/worksheets")->Unit(benchmark::kMillisecond);
BENCHMARK(barePainter)->Name("Print/baseline")->Unit(benchmark::kMillisecond);

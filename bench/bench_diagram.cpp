// Painting the picture of a problem onto an image of the panel's size, against the same painter
// drawing only the picture's texts.
#include "app/relation_diagram_view.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// The busiest picture: three lines, labels moved aside at ratio 1.01, a finished formula.
const ProblemRow Row { 100, 1, 100, 101, -1.01, 101 };
constexpr Kind DiagramKind = Kind::AmountRatioPercent;

QImage panelImage()
{
    return QImage(DiagramWidth, DiagramHeight, QImage::Format_RGB32);
}

void paint(benchmark::State &state)
{
    const RelationDiagram diagram = relationDiagramOf(Row, DiagramKind, DiagramStep::Finished);
    // The rectangles are what is painted only if the installed face has the advances the
    // layout assumed.
    for (const DiagramText &text : diagram.texts) {
        const QFontMetrics metrics(relationDiagramFont(text.pixels, text.bold || text.hidden));
        if (metrics.horizontalAdvance(text.text) != text.rect.width())
            state.SkipWithError("a text is not as wide as its rectangle");
    }
    QImage image = panelImage();
    for (auto _ : state) {
        QPainter painter(&image);
        paintRelationDiagram(painter, diagram);
    }
}

// What showing a problem costs the panel: the picture computed and the widget rendered.
void show(benchmark::State &state)
{
    RelationDiagramView view;
    QImage image = panelImage();
    for (auto _ : state) {
        view.showDiagram(relationDiagramOf(Row, DiagramKind, DiagramStep::Finished));
        view.render(&image);
    }
}

void baseline(benchmark::State &state)
{
    const RelationDiagram diagram = relationDiagramOf(Row, DiagramKind, DiagramStep::Finished);
    QImage image = panelImage();
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        for (const DiagramText &text : diagram.texts) {
            painter.setFont(relationDiagramFont(text.pixels, text.bold || text.hidden));
            painter.drawText(text.rect.bottomLeft(), text.text);
        }
    }
}

} // namespace

BENCHMARK(paint)->Name("Diagram/paint")->Unit(benchmark::kMicrosecond);
BENCHMARK(show)->Name("Diagram/show")->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline)->Name("Diagram/baseline")->Unit(benchmark::kMicrosecond);

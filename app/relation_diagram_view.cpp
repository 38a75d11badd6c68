#include "app/relation_diagram_view.h"

#include <QPainter>

#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QPen penFor(DiagramStrokeStyle style)
{
    switch (style) {
    case DiagramStrokeStyle::Axis:
        return QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap);
    case DiagramStrokeStyle::Guide:
        return QPen(Qt::black, 1, Qt::DotLine, Qt::FlatCap);
    case DiagramStrokeStyle::Tick:
    case DiagramStrokeStyle::Leader:
    case DiagramStrokeStyle::Arrow:
    case DiagramStrokeStyle::Frame:
        break;
    }
    return QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap);
}

} // namespace

QFont relationDiagramFont(int pixels, bool bold)
{
    // The panel's fixed-pitch face, named as installed: the rectangles hold for a face whose
    // ASCII takes half an em and the rest a whole one. Unhinted, as the window's faces, so that
    // the advances stay the design's half and whole ems.
    QFont font(QFont::substitute(u"ＭＳ ゴシック"_s));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleHint(QFont::Monospace);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void paintRelationDiagram(QPainter &painter, const RelationDiagram &diagram)
{
    painter.fillRect(0, 0, DiagramWidth, DiagramHeight, Qt::white);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, DiagramWidth - 1, DiagramHeight - 1);
    for (const DiagramStroke &stroke : diagram.strokes) {
        painter.setPen(penFor(stroke.style));
        painter.drawLine(stroke.line);
    }
    // A picture uses a few sizes and weights: each font is made once, and set when it changes.
    static std::map<std::pair<int, bool>, QFont> fonts;
    std::pair<int, bool> current { 0, false };
    for (const DiagramText &text : diagram.texts) {
        const std::pair<int, bool> wanted { text.pixels, text.bold || text.hidden };
        if (wanted != current) {
            auto font = fonts.find(wanted);
            if (font == fonts.end())
                font = fonts.emplace(wanted, relationDiagramFont(wanted.first, wanted.second))
                               .first;
            painter.setFont(font->second);
            current = wanted;
        }
        painter.setPen(text.revealed ? Qt::red : Qt::black);
        const QRect &r = text.rect;
        painter.drawText(QPoint(r.left(), r.top() + r.height() * 7 / 8), text.text);
    }
}

RelationDiagramView::RelationDiagramView(QWidget *parent) : QWidget(parent)
{
    setFixedSize(DiagramWidth, DiagramHeight);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(u"関係図"_s);
    // Painted whole, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RelationDiagramView::showDiagram(const RelationDiagram &diagram)
{
    m_diagram = diagram;
    setAccessibleDescription(relationDiagramDescription(m_diagram));
    update();
}

void RelationDiagramView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintRelationDiagram(painter, m_diagram);
}

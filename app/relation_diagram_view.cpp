#include "app/relation_diagram_view.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <QTimer>

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

namespace {

// A face of the panel with the texts already laid out in it: shaping a Japanese text costs more
// than drawing it, and the labels and the formulas' words come back with every problem.
struct PanelFace
{
    QFont font;
    int ascent = 0;
    QHash<QString, QStaticText> laidOut;

    const QStaticText &text(const QString &s)
    {
        auto it = laidOut.constFind(s);
        if (it != laidOut.cend())
            return *it;
        // The numbers change with every problem: a long drill must not grow this without end.
        if (laidOut.size() >= 512)
            laidOut.clear();
        QStaticText t(s);
        t.setTextFormat(Qt::PlainText);
        t.prepare(QTransform(), font);
        return *laidOut.insert(s, t);
    }
};

PanelFace &faceFor(int pixels, bool bold)
{
    // Never destroyed: laid-out texts hold font engines, which must not be let go after the
    // application's font machinery is gone at exit.
    static auto &faces = *new std::map<std::pair<int, bool>, PanelFace>;
    auto face = faces.find({ pixels, bold });
    if (face == faces.end()) {
        PanelFace made;
        made.font = relationDiagramFont(pixels, bold);
        made.ascent = QFontMetrics(made.font).ascent();
        face = faces.emplace(std::pair { pixels, bold }, std::move(made)).first;
    }
    return face->second;
}

} // namespace

void paintRelationDiagram(QPainter &painter, const RelationDiagram &diagram)
{
    // The frame as four fills: an outlined rectangle goes through the stroker, at several times
    // the cost of the white ground.
    painter.fillRect(1, 1, DiagramWidth - 2, DiagramHeight - 2, Qt::white);
    painter.fillRect(0, 0, DiagramWidth, 1, Qt::gray);
    painter.fillRect(0, DiagramHeight - 1, DiagramWidth, 1, Qt::gray);
    painter.fillRect(0, 1, 1, DiagramHeight - 2, Qt::gray);
    painter.fillRect(DiagramWidth - 1, 1, 1, DiagramHeight - 2, Qt::gray);
    for (const DiagramStroke &stroke : diagram.strokes) {
        painter.setPen(penFor(stroke.style));
        painter.drawLine(stroke.line);
    }
    PanelFace *current = nullptr;
    for (const DiagramText &text : diagram.texts) {
        PanelFace &face = faceFor(text.pixels, text.bold || text.hidden);
        if (&face != current) {
            painter.setFont(face.font);
            current = &face;
        }
        painter.setPen(text.revealed ? Qt::red : Qt::black);
        const QRect &r = text.rect;
        const int baseline = r.top() + r.height() * 7 / 8;
        painter.drawStaticText(QPoint(r.left(), baseline - face.ascent), face.text(text.text));
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
    m_showsPixmap = false;
    setAccessibleDescription(relationDiagramDescription(m_diagram));
    update();
}

void RelationDiagramView::foresee(std::function<RelationDiagram()> next)
{
    m_foreseen = std::move(next);
    m_next.reset();
}

bool RelationDiagramView::showForeseen()
{
    if (!m_next || m_nextPixmap.devicePixelRatio() != devicePixelRatioF())
        return false;
    m_diagram = std::move(m_next->diagram);
    std::swap(m_shownPixmap, m_nextPixmap);
    m_showsPixmap = true;
    setAccessibleDescription(m_next->description);
    m_next.reset();
    update();
    return true;
}

void RelationDiagramView::paintEvent(QPaintEvent *)
{
    {
        QPainter painter(this);
        if (m_showsPixmap)
            painter.drawPixmap(0, 0, m_shownPixmap);
        else
            paintRelationDiagram(painter, m_diagram);
    }
    // Queued, so it runs after this frame is on the screen, not before it.
    if (m_foreseen)
        QTimer::singleShot(0, this, &RelationDiagramView::paintForeseen);
}

void RelationDiagramView::paintForeseen()
{
    if (!m_foreseen)
        return;
    Foreseen next { std::exchange(m_foreseen, nullptr)(), QString() };
    next.description = relationDiagramDescription(next.diagram);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (m_nextPixmap.size() != pixels) {
        m_nextPixmap = QPixmap(pixels);
        m_nextPixmap.setDevicePixelRatio(ratio);
    }
    QPainter painter(&m_nextPixmap);
    paintRelationDiagram(painter, next.diagram);
    painter.end();
    m_next = std::move(next);
}

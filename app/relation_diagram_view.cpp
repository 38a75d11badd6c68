#include "app/relation_diagram_view.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <QTimer>
#include <QPaintEvent>
#include <QVarLengthArray>

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

namespace {

// The pixels a stroke can touch: its pen is at most two wide.
QRect strokeArea(const DiagramStroke &stroke)
{
    return QRect(stroke.line.p1(), stroke.line.p2()).normalized().adjusted(-2, -2, 2, 2);
}

// A text's glyphs stay within its em box but for their antialiased edges.
QRect textArea(const DiagramText &text)
{
    return text.rect.adjusted(-2, -2, 2, 2);
}

} // namespace

void paintRelationDiagram(QPainter &painter, const RelationDiagram &diagram, const QRect &within)
{
    // The frame as four fills: an outlined rectangle goes through the stroker, at several times
    // the cost of the white ground.
    painter.fillRect(1, 1, DiagramWidth - 2, DiagramHeight - 2, Qt::white);
    painter.fillRect(0, 0, DiagramWidth, 1, Qt::gray);
    painter.fillRect(0, DiagramHeight - 1, DiagramWidth, 1, Qt::gray);
    painter.fillRect(0, 1, 1, DiagramHeight - 2, Qt::gray);
    painter.fillRect(DiagramWidth - 1, 1, 1, DiagramHeight - 2, Qt::gray);
    for (const DiagramStroke &stroke : diagram.strokes) {
        if (!strokeArea(stroke).intersects(within))
            continue;
        painter.setPen(penFor(stroke.style));
        painter.drawLine(stroke.line);
    }
    PanelFace *current = nullptr;
    for (const DiagramText &text : diagram.texts) {
        if (!textArea(text).intersects(within))
            continue;
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

void paintRelationDiagramOver(QPainter &painter, const RelationDiagram &diagram,
                              const QList<QRect> &areas)
{
    painter.save();
    for (const QRect &r : areas) {
        painter.setClipRect(r);
        paintRelationDiagram(painter, diagram, r);
    }
    painter.restore();
}

namespace {

bool drawnAlike(const DiagramStroke &a, const DiagramStroke &b)
{
    return a == b;
}

bool drawnAlike(const DiagramText &a, const DiagramText &b)
{
    return a.text == b.text && a.rect == b.rect && a.pixels == b.pixels
            && (a.bold || a.hidden) == (b.bold || b.hidden) && a.revealed == b.revealed;
}

// Adds the area of every item of `from` that `to` does not draw alike, and of every item of `to`
// left over: a picture has a few dozen, so pairing them one by one is cheap.
template<typename Item, typename Area>
void addChanges(QList<QRect> &changes, const QList<Item> &from, const QList<Item> &to, Area area)
{
    QVarLengthArray<bool, 64> paired(to.size(), false);
    for (const Item &item : from) {
        qsizetype i = 0;
        while (i < to.size() && (paired[i] || !drawnAlike(item, to[i])))
            ++i;
        if (i < to.size())
            paired[i] = true;
        else
            changes.append(area(item));
    }
    for (qsizetype i = 0; i < to.size(); ++i) {
        if (!paired[i])
            changes.append(area(to[i]));
    }
}

} // namespace

QList<QRect> relationDiagramChanges(const RelationDiagram &from, const RelationDiagram &to)
{
    QList<QRect> changes;
    addChanges(changes, from.strokes, to.strokes, strokeArea);
    addChanges(changes, from.texts, to.texts, textArea);
    return changes;
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
    changed(relationDiagramChanges(m_diagram, diagram));
    m_diagram = diagram;
    ++m_shownSerial;
    m_showsPixmap = false;
    setAccessibleDescription(relationDiagramDescription(m_diagram));
}

void RelationDiagramView::foresee(std::function<RelationDiagram()> next)
{
    m_foreseen = std::move(next);
    m_next.reset();
}

bool RelationDiagramView::showForeseen()
{
    if (!m_next || m_nextPicture.pixmap.devicePixelRatio() != devicePixelRatioF())
        return false;
    // What changed was worked out with the picture, if against the one still on show.
    changed(m_next->changedFrom == m_shownSerial
                    ? m_next->changes
                    : relationDiagramChanges(m_diagram, m_next->diagram));
    ++m_shownSerial;
    m_diagram = std::move(m_next->diagram);
    std::swap(m_shownPicture, m_nextPicture);
    m_showsPixmap = true;
    setAccessibleDescription(m_next->description);
    m_next.reset();
    return true;
}

namespace {

QRect boundsOf(const QList<QRect> &rects)
{
    QRect bounds;
    for (const QRect &r : rects)
        bounds |= r;
    return bounds;
}

} // namespace

void RelationDiagramView::changed(const QList<QRect> &changes)
{
    m_pending += changes;
    update(boundsOf(changes));
}

void RelationDiagramView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        // Most of the panel (the white ground, the lines, the words) stays from one problem to
        // the next: when the screen holds the picture before and the update is only this
        // panel's own, only what changed is copied. Rectangle by rectangle, each as a block:
        // a region would go span by span and, past a hundred spans, be handed to other threads
        // and waited for; and a clip per rectangle costs Qt a clip of its own each time.
        const QRect pending = boundsOf(m_pending) & rect();
        const bool onlyChanges = m_showsPixmap && m_screenWhole && pending != rect()
                && event->region() == QRegion(pending);
        if (onlyChanges) {
            const qreal ratio = m_shownPicture.pixmap.devicePixelRatio();
            for (const QRect &r : std::as_const(m_pending)) {
                const QRectF target = QRectF(r) & QRectF(rect());
                painter.drawPixmap(target, m_shownPicture.pixmap,
                                   QRectF(target.topLeft() * ratio, target.size() * ratio));
            }
        } else if (m_showsPixmap) {
            painter.drawPixmap(0, 0, m_shownPicture.pixmap);
        } else {
            paintRelationDiagram(painter, m_diagram);
        }
    }
    m_screenWhole = m_screenWhole || event->region() == QRegion(rect());
    m_pending.clear();
    // Queued, so it runs after this frame is on the screen, not before it.
    if (m_foreseen)
        QTimer::singleShot(0, this, &RelationDiagramView::paintForeseen);
}

void RelationDiagramView::hideEvent(QHideEvent *event)
{
    // Shown again, the panel is painted whole before any part of it is copied alone.
    m_screenWhole = false;
    QWidget::hideEvent(event);
}

void RelationDiagramView::paintForeseen()
{
    if (!m_foreseen)
        return;
    Foreseen next { std::exchange(m_foreseen, nullptr)(), QString(), {}, m_shownSerial };
    next.description = relationDiagramDescription(next.diagram);
    next.changes = relationDiagramChanges(m_diagram, next.diagram);
    const qreal ratio = devicePixelRatioF();
    QPixmap &pixmap = m_nextPicture.pixmap;
    if (pixmap.size() != size() * ratio || pixmap.devicePixelRatio() != ratio) {
        pixmap = QPixmap(size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        m_nextPicture.holds.reset();
    }
    QPainter painter(&pixmap);
    if (m_nextPicture.holds)
        paintRelationDiagramOver(painter, next.diagram,
                                 relationDiagramChanges(*m_nextPicture.holds, next.diagram));
    else
        paintRelationDiagram(painter, next.diagram);
    painter.end();
    m_nextPicture.holds = next.diagram;
    m_next = std::move(next);
}

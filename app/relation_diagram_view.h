// The panel that paints the picture of the problem on the screen (display/relation_diagram.h).
#pragma once

#include "display/relation_diagram.h"

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>

class QFont;
class QPainter;

// The fixed-pitch face the diagram's rectangles are computed for, at a pixel size.
QFont relationDiagramFont(int pixels, bool bold);

// A diagram painted at the painter's origin on a white ground of the panel's size: black lines
// and texts, the revealed answers red.
void paintRelationDiagram(QPainter &painter, const RelationDiagram &diagram);

// Named 関係図 for a screen reader, which reads the picture's texts as its description. It never
// takes the focus: the pupil's keys stay in the answer box.
class RelationDiagramView : public QWidget
{
    Q_OBJECT

public:
    explicit RelationDiagramView(QWidget *parent = nullptr);

    void showDiagram(const RelationDiagram &diagram);
    const RelationDiagram &diagram() const { return m_diagram; }

    // The picture likely to come next (the next problem's), worked out and painted aside once
    // the one on show has been painted, while the pupil thinks: when it comes, showForeseen
    // only copies it to the screen. A new one replaces what was foreseen before.
    void foresee(std::function<RelationDiagram()> next);
    // Shows the picture last foreseen, when it is ready.
    bool showForeseen();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintForeseen();

    struct Foreseen
    {
        RelationDiagram diagram;
        QString description;
    };

    RelationDiagram m_diagram;
    // Two pictures painted aside, kept and painted over again: one of the size of the panel is
    // half a megabyte, and giving such a block back to the system at every Enter costs more
    // than copying it.
    QPixmap m_shownPixmap; // m_diagram, when m_showsPixmap
    QPixmap m_nextPixmap; // m_next, when there is one
    bool m_showsPixmap = false;
    std::function<RelationDiagram()> m_foreseen;
    std::optional<Foreseen> m_next;
};

// The panel that paints the picture of the problem on the screen (display/relation_diagram.h).
#pragma once

#include "display/relation_diagram.h"

#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RelationDiagram m_diagram;
};

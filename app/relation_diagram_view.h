// The panel that paints the picture of the problem on the screen (display/relation_diagram.h).
#pragma once

#include "display/relation_diagram.h"

#include <QPixmap>
#include <QList>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

class QFont;
class QPainter;

// The fixed-pitch face the diagram's rectangles are computed for, at a pixel size.
QFont relationDiagramFont(int pixels, bool bold);

// A diagram painted at the painter's origin on a white ground of the panel's size: black lines
// and texts, the revealed answers red. What cannot touch `within` is left out.
void paintRelationDiagram(QPainter &painter, const RelationDiagram &diagram,
                          const QRect &within = QRect(0, 0, DiagramWidth, DiagramHeight));

// The same painted over what the painter's device holds, only within each of `areas`.
void paintRelationDiagramOver(QPainter &painter, const RelationDiagram &diagram,
                              const QList<QRect> &areas);

// Where the pictures of two diagrams can differ, as rectangles that may overlap: what one draws
// and the other does not draw in the same place and manner. The rest of the panel stays as it
// is from one to the other.
QList<QRect> relationDiagramChanges(const RelationDiagram &from, const RelationDiagram &to);

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
    void hideEvent(QHideEvent *event) override;

private:
    void paintForeseen();
    // Asks for the rectangles to be painted again.
    void changed(const QList<QRect> &changes);

    struct Foreseen
    {
        RelationDiagram diagram;
        QString description;
        QList<QRect> changes; // from the picture on show when this one was painted
        quint64 changedFrom = 0;
    };

    // A picture painted aside, with the diagram it holds. Two are kept and painted over again,
    // each where its next picture differs from what it holds: one of the size of the panel is
    // half a megabyte, and painting it whole while the pupil thinks pushes the window's own
    // memory out of the caches just before the answer needs it.
    struct Picture
    {
        QPixmap pixmap;
        std::optional<RelationDiagram> holds;
    };

    RelationDiagram m_diagram;
    Picture m_shownPicture; // m_diagram's, when m_showsPixmap
    Picture m_nextPicture; // m_next's, when there is one
    bool m_showsPixmap = false;
    quint64 m_shownSerial = 0; // counts the diagrams shown
    // Asked for since the last painting, and whether the screen holds a whole picture.
    QList<QRect> m_pending;
    bool m_screenWhole = false;
    std::function<RelationDiagram()> m_foreseen;
    std::optional<Foreseen> m_next;
};

// A picture of the problem on the screen, as plain data: its quantities on number lines (or the
// place values of its ratio), and the formula that gives the hidden quantity, shown in steps.
#pragma once

#include "drill/problem_set.h"

#include <QLine>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// The panel the picture fills, in pixels.
inline constexpr int DiagramWidth = 608;
inline constexpr int DiagramHeight = 208;

// Text sizes (pixel size of the face) that the picture is laid out for. The rectangles assume
// the fixed-pitch face the panel paints with, IPAGothic: ASCII takes half an em and every other
// character one em, so a text's rectangle is exactly where it is painted. Its ascent is 7/8 em.
inline constexpr int DiagramTextPixels = 18;
inline constexpr int DiagramBigTextPixels = 24;

// The width in pixels of a text at a pixel size, in that face.
int diagramTextWidth(const QString &text, int pixels);

// A hint gives no more than the pupil needs yet: the picture alone when asked for, the formula
// in words once an answer was wrong, the formula worked out in numbers only with the answer.
enum class DiagramStep { Picture, Formula, Finished };

// The step for a problem the pupil has or has not answered wrongly, revealed or not.
DiagramStep diagramStepOf(bool answeredWrongly, bool revealed);

struct DiagramText
{
    QString text;
    QRect rect; // its advance by one em
    int pixels = DiagramTextPixels;
    bool bold = false;
    bool hidden = false; // the quantity to find, "？"
    bool revealed = false; // the answer shown after せいかいを見る, painted red
    int line = 0; // the picture's line it belongs to, top to bottom
    // What a screen reader says for it where the text alone would not tell (which quantity a
    // number is); an empty text is said by another one and left out.
    std::optional<QString> said = std::nullopt;

    friend bool operator==(const DiagramText &, const DiagramText &) = default;
};

enum class DiagramStrokeStyle {
    Axis, // a number line
    Tick, // a mark on a line
    Guide, // dotted: one quantity's place on every line
    Leader, // from a mark to its label, where the label had to move aside
    Arrow, // ×割合, from the base to the compared amount
    Frame, // the cells of the place values
};

struct DiagramStroke
{
    QLine line;
    DiagramStrokeStyle style;

    friend bool operator==(const DiagramStroke &, const DiagramStroke &) = default;
};

struct RelationDiagram
{
    QList<DiagramStroke> strokes;
    QList<DiagramText> texts; // no two overlap, all inside the panel

    friend bool operator==(const RelationDiagram &, const RelationDiagram &) = default;
};

// The picture of a row for a kind at a step. Numbers read as the boxes show them
// (viewOfProblem, revealTexts).
RelationDiagram relationDiagramOf(const ProblemRow &row, Kind kind, DiagramStep step);

// The panel before any problem is on the screen: one line saying what it will show.
RelationDiagram diagramBeforeStart();

// The picture's texts for a screen reader: one line per line of the picture, its texts left to
// right (a space between two that do not touch), the formula last.
QString relationDiagramDescription(const RelationDiagram &diagram);

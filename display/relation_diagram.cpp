#include "display/relation_diagram.h"

#include "display/problem_display.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int P = DiagramTextPixels;
constexpr int Big = DiagramBigTextPixels;
constexpr int Margin = 4; // nothing nearer the panel's edge
constexpr int Gap = 6; // between two lines of text
constexpr int MarkGap = 8; // between a mark and its label
constexpr int LabelGap = P; // between two labels beside one line: "0 1" would read as one number
constexpr int TickHalf = 5;
constexpr int StepTickHalf = 3;
constexpr int CaptionLeft = 8;
constexpr int ScaleLeft = 56; // 0 on every line
constexpr int ScaleLength = 480; // from 0 to the larger of 1 and the ratio
constexpr int AxisOverrun = 24;
constexpr int FormulaGap = 10; // between the picture and the formula

using BoxTexts = std::array<std::optional<QString>, 9>;

// One text of the picture before it has a place.
struct Word
{
    QString text;
    bool hidden = false;
    bool revealed = false;
};

Word plain(const QString &text)
{
    return { text, false, false };
}

// What a box shows, without the blanks that pad it; a box the pupil must fill shows "？", or its
// answer once revealed.
Word wordOfBox(const ProblemView &view, const BoxTexts &reveal, Box box, bool revealed)
{
    const std::size_t i = boxIndex(box);
    if (!view.asked[i])
        return plain(view.text[i].value_or(QString()).trimmed());
    if (revealed && reveal[i])
        return { reveal[i]->trimmed(), false, true };
    return { QString::fromUtf16(HiddenMark), true, false };
}

DiagramText &addText(RelationDiagram &d, const Word &word, int left, int top, int pixels, int line)
{
    d.texts.append({ word.text, QRect(left, top, diagramTextWidth(word.text, pixels), pixels),
                     pixels, false, word.hidden, word.revealed, line });
    return d.texts.last();
}

// Words left to right, half an em apart, from x.
void addRun(RelationDiagram &d, const QList<Word> &words, int x, int top, int pixels, int line)
{
    for (const Word &word : words)
        x = addText(d, word, x, top, pixels, line).rect.right() + 1 + pixels / 2;
}

void addStroke(RelationDiagram &d, QLine line, DiagramStrokeStyle style)
{
    d.strokes.append({ line, style });
}

// A mark's label beside its line, centred over the mark where it is free, else moved aside as
// little as it takes, to the side `toward` (-1 left, 1 right) where it can, and tied to its mark
// by a leader. Ratios a hundredth from 0 or from 1 put two marks a few pixels apart.
void addLabel(RelationDiagram &d, const Word &word, int markX, int axisY, bool above, int line,
              int toward = 0)
{
    const int width = diagramTextWidth(word.text, P);
    const int top = above ? axisY - TickHalf - MarkGap - P : axisY + TickHalf + MarkGap;
    const int wanted = markX - width / 2;
    const auto fits = [&](int left) {
        // Nothing left of 0: a label there would read as a negative amount.
        if (left < ScaleLeft - P / 2 || left + width > DiagramWidth - Margin)
            return false;
        const QRect room(left - LabelGap, top, width + 2 * LabelGap, P);
        return std::none_of(d.texts.cbegin(), d.texts.cend(),
                            [&](const DiagramText &t) { return t.rect.intersects(room); });
    };
    QList<int> candidates { wanted,
                            std::clamp(wanted, ScaleLeft - P / 2, DiagramWidth - Margin - width) };
    for (const DiagramText &t : std::as_const(d.texts))
        candidates << t.rect.right() + 1 + LabelGap << t.rect.left() - LabelGap - width;
    std::optional<int> best;
    for (const bool anySide : { false, true }) {
        for (const int left : std::as_const(candidates)) {
            if (!fits(left) || (!anySide && (left - wanted) * toward < 0))
                continue;
            if (!best || std::abs(left - wanted) < std::abs(*best - wanted))
                best = left;
        }
        if (best)
            break;
    }
    const int left = best.value_or(candidates[1]);
    addText(d, word, left, top, P, line);
    if (left != wanted) {
        const int from = above ? axisY - TickHalf : axisY + TickHalf;
        const int to = above ? top + P + 1 : top - 2;
        addStroke(d, QLine(markX, from, left + width / 2, to), DiagramStrokeStyle::Leader);
    }
}

// A dotted line down through every number line at one quantity, broken where a label sits.
void addGuide(RelationDiagram &d, int x, int from, int to)
{
    QList<std::pair<int, int>> cuts;
    for (const DiagramText &t : std::as_const(d.texts)) {
        if (x >= t.rect.left() - 2 && x <= t.rect.right() + 2)
            cuts.append({ t.rect.top() - 2, t.rect.bottom() + 2 });
    }
    std::sort(cuts.begin(), cuts.end());
    int y = from;
    for (const auto &[cutTop, cutBottom] : std::as_const(cuts)) {
        if (cutTop > to)
            break;
        if (cutTop - 1 - y >= 3)
            addStroke(d, QLine(x, y, x, cutTop - 1), DiagramStrokeStyle::Guide);
        y = std::max(y, cutBottom + 1);
    }
    if (to - y >= 3)
        addStroke(d, QLine(x, y, x, to), DiagramStrokeStyle::Guide);
}

// The formula for the hidden quantity: each word with the number that stands for it under it.
struct Formula
{
    QList<std::pair<QString, Word>> terms;
    QString note = {}; // after the words
};

std::pair<QString, Word> sign(const QString &text)
{
    return { text, plain(text) };
}

Formula formulaFor(Box hidden, Formulas formulas, const Word &base, const Word &compared,
                   const Word &ratio, const Word &percent)
{
    const bool percentKind = formulas == Formulas::Percent;
    const bool betweenRatioAndPercent = formulas == Formulas::RatioPercent;
    const Word asked { QString::fromUtf16(HiddenMark), true, false };
    const auto equals = sign(u"＝"_s), times = sign(u"×"_s), by = sign(u"÷"_s),
               hundred = sign(u"100"_s);
    const std::pair<QString, Word> baseTerm { u"もとにする量"_s, base },
            comparedTerm { u"くらべられる量"_s, compared }, ratioTerm { u"割合"_s, ratio },
            percentTerm { u"百分率"_s, percent };
    switch (hidden) {
    case Box::BaseAmount:
        if (percentKind)
            return {
                { { baseTerm.first, asked }, equals, comparedTerm, by, percentTerm, times, hundred }
            };
        return { { { baseTerm.first, asked }, equals, comparedTerm, by, ratioTerm } };
    case Box::BaseRatio:
        return { { { u"もとにする量の割合"_s, asked }, equals, sign(u"1"_s) },
                 u"（もとにする量は いつも 1）"_s };
    case Box::BasePercent:
        return { { { u"もとにする量の％"_s, asked }, equals, hundred },
                 u"（もとにする量は いつも 100％）"_s };
    case Box::ComparedAmount:
        if (percentKind)
            return {
                { { comparedTerm.first, asked }, equals, baseTerm, times, percentTerm, by, hundred }
            };
        return { { { comparedTerm.first, asked }, equals, baseTerm, times, ratioTerm } };
    case Box::ComparedRatio:
        if (betweenRatioAndPercent)
            return { { { ratioTerm.first, asked }, equals, percentTerm, by, hundred } };
        return { { { ratioTerm.first, asked }, equals, comparedTerm, by, baseTerm } };
    case Box::ComparedPercent:
        if (betweenRatioAndPercent)
            return { { { percentTerm.first, asked }, equals, ratioTerm, times, hundred } };
        return {
            { { percentTerm.first, asked }, equals, comparedTerm, by, baseTerm, times, hundred }
        };
    default:
        return {};
    }
}

// The words on one line and the numbers under them, then `tail` after the numbers.
void addFormula(RelationDiagram &d, const Formula &formula, const QList<Word> &tail, int top,
                int line)
{
    const int numbersTop = top + P + Gap;
    int x = CaptionLeft;
    for (const auto &[word, number] : formula.terms) {
        const int wordWidth = diagramTextWidth(word, P);
        const int numberWidth = diagramTextWidth(number.text, P);
        const int width = std::max(wordWidth, numberWidth);
        addText(d, plain(word), x + (width - wordWidth) / 2, top, P, line);
        addText(d, number, x + (width - numberWidth) / 2, numbersTop, P, line + 1);
        x += width + P / 2;
    }
    if (!formula.note.isEmpty())
        addText(d, plain(formula.note), x, top, P, line);
    addRun(d, tail, x, numbersTop, P, line + 1);
}

constexpr int FormulaHeight = FormulaGap + P + Gap + P;

// Kinds 1 to 8: the amounts' line above the ratios' and/or percentages' lines, one scale for
// all, 0 under 0, 1 (100) under the base amount and the ratio under the compared amount.
RelationDiagram numberLines(const ProblemRow &row, Kind kind, bool revealed)
{
    const ProblemView view = viewOfProblem(row, kind);
    const BoxTexts reveal = revealTexts(row, kind, BuaiDigits {});
    const auto word = [&](Box box) { return wordOfBox(view, reveal, box, revealed); };

    struct Axis
    {
        QString caption;
        Box baseBox, comparedBox;
    };
    QList<Axis> axes;
    for (const Axis &axis : { Axis { u"量"_s, Box::BaseAmount, Box::ComparedAmount },
                              Axis { u"割合"_s, Box::BaseRatio, Box::ComparedRatio },
                              Axis { u"％"_s, Box::BasePercent, Box::ComparedPercent } }) {
        if (view.text[boxIndex(axis.baseBox)])
            axes.append(axis);
    }

    // The first line's labels go above it, the others' below; the lines sit in the middle of
    // the panel with the formula under them.
    const int labelsHeight = TickHalf + MarkGap + P;
    QList<int> axisY { labelsHeight };
    for (qsizetype i = 1; i < axes.size(); ++i)
        axisY.append(axisY.last() + (i == 1 ? 28 : labelsHeight + MarkGap + TickHalf));
    const int labelsBottom = axisY.last() + labelsHeight;
    const int shift = (DiagramHeight - labelsBottom - FormulaHeight) / 2;
    for (int &y : axisY)
        y += shift;

    double ratio = std::abs(row.ComparedRatio);
    if (!(ratio <= 10))
        ratio = 10; // a row the drill never makes; keep it on the panel
    const double scale = std::max(1.0, ratio);
    const auto xOf = [&](double value) {
        return ScaleLeft + static_cast<int>(std::lround(value / scale * ScaleLength));
    };
    const int zeroX = ScaleLeft, baseX = xOf(1.0), comparedX = xOf(ratio);

    RelationDiagram d;
    for (qsizetype i = 0; i < axes.size(); ++i) {
        const int y = axisY[i], line = static_cast<int>(i);
        DiagramText &caption = addText(d, plain(axes[i].caption), CaptionLeft, y - P / 2, P, line);
        caption.bold = true;
        addStroke(d, QLine(zeroX, y, xOf(scale) + AxisOverrun, y), DiagramStrokeStyle::Axis);
        for (const int x : { zeroX, baseX, comparedX })
            addStroke(d, QLine(x, y - TickHalf, x, y + TickHalf), DiagramStrokeStyle::Tick);
        if (i > 0) {
            // Steps of a tenth up to 2, of a half up to 5, of one beyond.
            const double step = scale <= 2 ? 0.1 : scale <= 5 ? 0.5 : 1.0;
            for (int n = 1; n * step < scale; ++n) {
                const int x = xOf(n * step);
                addStroke(d, QLine(x, y - StepTickHalf, x, y + StepTickHalf),
                          DiagramStrokeStyle::Tick);
            }
        }
        const bool above = i == 0;
        addLabel(d, plain(u"0"_s), zeroX, y, above, line);
        addLabel(d, word(axes[i].baseBox), baseX, y, above, line);
        // The compared amount's label keeps to its side of the base's, as its value does.
        addLabel(d, word(axes[i].comparedBox), comparedX, y, above, line, ratio < 1 ? -1 : 1);
    }
    if (axes.size() > 1) {
        const int from = axisY.first() + TickHalf + 1, to = axisY.last() - TickHalf - 1;
        addGuide(d, baseX, from, to);
        if (comparedX != baseX)
            addGuide(d, comparedX, from, to);
    }

    const Box hidden = view.answerField.value_or(Box::Wari);
    const Formula formula = formulaFor(hidden, kindRow(kind).formulas, word(Box::BaseAmount),
                                       word(Box::ComparedAmount), word(Box::ComparedRatio),
                                       word(Box::ComparedPercent));
    if (!formula.terms.isEmpty()) {
        const Word answer = word(hidden);
        // The base's ratio and percentage are their own answer already.
        const bool finished =
                answer.revealed && hidden != Box::BaseRatio && hidden != Box::BasePercent;
        addFormula(d, formula, finished ? QList<Word> { plain(u"＝"_s), answer } : QList<Word> {},
                   labelsBottom + shift + FormulaGap, static_cast<int>(axes.size()));
    }
    return d;
}

// Kinds 9 and 10: the ratio, then its wari, bu and rin in three cells, each with the worth of
// one of its unit under it.
RelationDiagram placeValues(const ProblemRow &row, Kind kind, bool revealed)
{
    const ProblemView view = viewOfProblem(row, kind);
    const BuaiDigits digits = view.buai.value_or(BuaiDigits {});
    const BoxTexts reveal = revealTexts(row, kind, digits);
    const auto word = [&](Box box) { return wordOfBox(view, reveal, box, revealed); };
    const Word ratio = word(Box::ComparedRatio);
    const bool ratioAsked = view.asked[boxIndex(Box::ComparedRatio)];
    std::array<Word, 3> places;
    for (int i = 0; i < 3; ++i)
        places[i] = word(std::array { Box::Wari, Box::Bu, Box::Rin }[std::size_t(i)]);
    const std::array<QString, 3> units { u"割"_s, u"分"_s, u"厘"_s };
    const std::array<QString, 3> worth { u"0.1"_s, u"0.01"_s, u"0.001"_s };
    constexpr int CellsLeft = 200, CellWidth = 128, Pad = 4;
    constexpr int CellHeight = Pad + Big + Pad + P + Pad;

    const int top = (DiagramHeight - CellHeight - FormulaHeight) / 2;
    const int placesTop = top + Pad, unitsTop = placesTop + Big + Pad;
    const int bottom = top + CellHeight;

    RelationDiagram d;
    for (int i = 0; i < 3; ++i) {
        const int left = CellsLeft + i * CellWidth, centre = left + CellWidth / 2;
        const int width = diagramTextWidth(places[i].text, Big) + Big;
        const int unitLeft =
                addText(d, places[i], centre - width / 2, placesTop, Big, 0).rect.right() + 1;
        addText(d, plain(units[i]), unitLeft, placesTop, Big, 0);
        const QString unit = u"1"_s + units[i] + u" ＝ "_s + worth[i];
        addText(d, plain(unit), centre - diagramTextWidth(unit, P) / 2, unitsTop, P, 1);
        addStroke(d, QLine(left, top, left, bottom), DiagramStrokeStyle::Frame);
    }
    const int right = CellsLeft + 3 * CellWidth;
    addStroke(d, QLine(right, top, right, bottom), DiagramStrokeStyle::Frame);
    addStroke(d, QLine(CellsLeft, top, right, top), DiagramStrokeStyle::Frame);
    addStroke(d, QLine(CellsLeft, bottom, right, bottom), DiagramStrokeStyle::Frame);
    const int equalsLeft = CellsLeft - Big / 2 - Big;
    addText(d, plain(u"＝"_s), equalsLeft, placesTop, Big, 0);
    addText(d, ratio, equalsLeft - Big / 2 - diagramTextWidth(ratio.text, Big), placesTop, Big, 0);

    Formula formula;
    formula.terms = { { u"割合"_s,
                        ratioAsked ? Word { QString::fromUtf16(HiddenMark), true, false } : ratio },
                      sign(u"＝"_s) };
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            formula.terms.append(sign(u"＋"_s));
        formula.terms += { { units[i], places[i] }, sign(u"×"_s), sign(worth[i]) };
    }
    const bool finished = ratioAsked && ratio.revealed;
    addFormula(d, formula, finished ? QList<Word> { plain(u"＝"_s), ratio } : QList<Word> {},
               bottom + FormulaGap, 2);
    return d;
}

} // namespace

int diagramTextWidth(const QString &text, int pixels)
{
    int halves = 0;
    for (const QChar c : text)
        halves += c.unicode() < 0x80 ? 1 : 2;
    return halves * pixels / 2;
}

RelationDiagram relationDiagramOf(const ProblemRow &row, Kind kind, bool revealed)
{
    if (kindRow(kind).formulas == Formulas::PlaceValues)
        return placeValues(row, kind, revealed);
    return numberLines(row, kind, revealed);
}

QString relationDiagramDescription(const RelationDiagram &diagram)
{
    std::map<int, QList<const DiagramText *>> lines;
    for (const DiagramText &t : diagram.texts)
        lines[t.line].append(&t);
    QStringList out;
    for (auto &[number, texts] : lines) {
        std::stable_sort(texts.begin(), texts.end(),
                         [](const DiagramText *a, const DiagramText *b) {
                             return a->rect.left() < b->rect.left();
                         });
        QString text;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (i > 0 && texts[i]->rect.left() > texts[i - 1]->rect.right() + 1)
                text += u' ';
            text += texts[i]->text;
        }
        out.append(text);
    }
    return out.join(u'\n');
}

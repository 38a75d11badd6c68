#include "display/relation_diagram.h"

#include "display/number_text.h"
#include "display/problem_display.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int P = DiagramTextPixels;
constexpr int Big = DiagramBigTextPixels;
constexpr int Margin = 4; // nothing nearer the panel's edge
constexpr int Gap = 6; // between two lines of text
constexpr int MarkGap = 4; // between a mark and its label
// From a line's marks down to the labels of the next line: twice a label's own gap to its line,
// so that a label is never read as the line's above.
constexpr int LineGap = 10;
constexpr int NameGap = 8; // between a name and the numbers under it, room for its leader
constexpr int LabelGap = P; // between two labels beside one line: "0 1" would read as one number
constexpr int TickHalf = 5;
constexpr int CaptionLeft = 8;
constexpr int ScaleLeft = 56; // 0 on every line
constexpr int ScaleLength = 480; // from 0 to the larger of 1 and the ratio
constexpr int AxisOverrun = 24;
constexpr int FormulaGap = 10; // between the picture and the formula
// Two marks nearer than this read as one; a ratio a hundredth from 0 or from 1 is drawn this far.
constexpr int MarkSpacing = 10;
// Between the words もとにする量 and くらべられる量: room for ×割合 and its arrow.
constexpr int ArrowRoom = 110;

using BoxTexts = std::array<std::optional<QString>, 9>;

// One text of the picture before it has a place.
struct Word
{
    QString text;
    bool hidden = false;
    bool revealed = false;
    std::optional<QString> said = std::nullopt;
};

Word plain(const QString &text)
{
    return { text, false, false };
}

Word asked()
{
    return { QString::fromUtf16(HiddenMark), true, false };
}

QString decimal(double value, int decimals)
{
    return TrimZeros(FormatFixed(value, 1, decimals));
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
    return asked();
}

// A revealed answer is said as the answer.
std::optional<QString> saidAs(const Word &word, const QString &before = QString())
{
    if (word.said)
        return word.said;
    if (before.isEmpty() && !word.revealed)
        return std::nullopt;
    QString said = before.isEmpty() ? word.text : before + u' ' + word.text;
    if (word.revealed)
        said += u"（答え）"_s;
    return said;
}

DiagramText &addText(RelationDiagram &d, const Word &word, int left, int top, int pixels, int line)
{
    d.texts.append({ word.text, QRect(left, top, diagramTextWidth(word.text, pixels), pixels),
                     pixels, false, word.hidden, word.revealed, line, saidAs(word) });
    return d.texts.last();
}

void addStroke(RelationDiagram &d, QLine line, DiagramStrokeStyle style)
{
    d.strokes.append({ line, style });
}

bool isFree(const RelationDiagram &d, const QRect &room)
{
    return std::none_of(d.texts.cbegin(), d.texts.cend(),
                        [&](const DiagramText &t) { return t.rect.intersects(room); });
}

// A mark's label above its line, centred over the mark where it is free, else moved aside as
// little as it takes, to the side `toward` (-1 left, 1 right) where it can, and tied to its mark
// by a leader.
qsizetype addLabel(RelationDiagram &d, const Word &word, int markX, int axisY, int line,
                   int toward = 0)
{
    const int width = diagramTextWidth(word.text, P);
    const int top = axisY - TickHalf - MarkGap - P;
    const int wanted = markX - width / 2;
    const auto fits = [&](int left) {
        // Nothing left of 0: a label there would read as a negative amount.
        if (left < ScaleLeft - P / 2 || left + width > DiagramWidth - Margin)
            return false;
        return isFree(d, QRect(left - LabelGap, top, width + 2 * LabelGap, P));
    };
    QList<int> candidates { wanted,
                            std::clamp(wanted, ScaleLeft - P / 2, DiagramWidth - Margin - width) };
    // Only the labels beside the line stand in the way.
    for (const DiagramText &t : std::as_const(d.texts)) {
        if (t.rect.top() == top)
            candidates << t.rect.right() + 1 + LabelGap << t.rect.left() - LabelGap - width;
    }
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
    if (left != wanted)
        addStroke(d, QLine(markX, axisY - TickHalf, left + width / 2, top + P + 1),
                  DiagramStrokeStyle::Leader);
    return d.texts.size() - 1;
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

// A quantity of the top line named over its number (the label at `number`).
struct Point
{
    QString name;
    qsizetype number = 0;
    int centre = 0; // the number's
    int left = 0;
    int width() const { return diagramTextWidth(name, P); }
};

Point pointOf(const RelationDiagram &d, const QString &name, qsizetype number)
{
    const QRect &r = d.texts[number].rect;
    return { name, number, r.left() + r.width() / 2, 0 };
}

// The name where the point's `left` says, tied to its number if moved aside; the number is
// said with the name.
void addName(RelationDiagram &d, const Point &point, int top, int line)
{
    Word name = plain(point.name);
    name.said = QString();
    addText(d, name, point.left, top, P, line);
    DiagramText &number = d.texts[point.number];
    number.said = point.name + u' ' + number.text + (number.revealed ? u"（答え）"_s : QString());
    // From the end of the name nearest its number, so that the leader stays short.
    const int from =
            std::clamp(point.centre, point.left + P / 2, point.left + point.width() - P / 2);
    if (std::abs(from - point.centre) > 1)
        addStroke(d, QLine(from, top + P + 1, point.centre, number.rect.top() - 2),
                  DiagramStrokeStyle::Leader);
}

// ×割合 from the base's name to the compared amount's, between them, its head at the compared
// amount.
void addArrow(RelationDiagram &d, const Point &base, const Point &compared, int top, int line)
{
    const bool rightward = compared.centre > base.centre;
    const Point &first = rightward ? base : compared, &second = rightward ? compared : base;
    const int from = first.left + first.width() + 4, to = second.left - 4;
    const int y = top + P / 2;
    Word label = plain(u"×割合"_s);
    label.said = u"もとにする量 から くらべられる量 へ ×割合"_s;
    const int width = diagramTextWidth(label.text, P);
    const int labelLeft = (from + to) / 2 - width / 2;
    addText(d, label, labelLeft, top, P, line);
    addStroke(d, QLine(from, y, labelLeft - 4, y), DiagramStrokeStyle::Arrow);
    addStroke(d, QLine(labelLeft + width + 3, y, to, y), DiagramStrokeStyle::Arrow);
    const int tip = rightward ? to : from, back = rightward ? -6 : 6;
    addStroke(d, QLine(tip, y, tip + back, y - 4), DiagramStrokeStyle::Arrow);
    addStroke(d, QLine(tip, y, tip + back, y + 4), DiagramStrokeStyle::Arrow);
}

// The two points of the top line as near their marks as they can be, in the marks' order, with
// room between them for the arrow, right of 0's label and inside the panel.
void placePoints(Point &first, Point &second, int leftmost)
{
    const int rightmost = DiagramWidth - Margin - second.width();
    first.left = std::max(first.centre - first.width() / 2, leftmost);
    second.left = std::min(second.centre - second.width() / 2, rightmost);
    const int lacking = ArrowRoom - (second.left - first.left - first.width());
    if (lacking > 0) {
        // Half each way, and what one side has no room for to the other.
        int toLeft = std::min(lacking - lacking / 2, first.left - leftmost);
        const int toRight = std::min(lacking - toLeft, rightmost - second.left);
        toLeft = std::min(lacking - toRight, first.left - leftmost);
        first.left -= toLeft;
        second.left += toRight;
    }
}

// A formula: each word with the number that stands for it under it, then the answer.
struct Term
{
    QString word;
    Word number;
};
using Formula = QList<Term>;

Term sign(const QString &text)
{
    return { text, plain(text) };
}

// What the formula rows say for the hidden quantity: formulas worked top to bottom, the last
// giving the answer, or for the base's own ratio or percentage the rule that gives it.
struct Working
{
    QList<Formula> formulas;
    QString rule = {};
    QString ruleTerm = {};
};

// The rows under the picture: the formulas' words, and at the last step the numbers under each
// with the answer at the end.
void addWorking(RelationDiagram &d, const Working &working, const Word &answer, DiagramStep step,
                int top, int line)
{
    if (step == DiagramStep::Picture)
        return;
    const bool finished = step == DiagramStep::Finished;
    if (!working.rule.isEmpty()) {
        addText(d, plain(working.rule), CaptionLeft, top, P, line);
        if (finished) {
            const QList<Word> words { plain(working.ruleTerm), plain(u"＝"_s), answer };
            int x = CaptionLeft;
            for (const Word &word : words)
                x = addText(d, word, x, top + P + Gap, P, line + 1).rect.right() + 1 + P / 2;
        }
        return;
    }
    int y = top;
    for (qsizetype f = 0; f < working.formulas.size(); ++f) {
        int x = CaptionLeft;
        for (const auto &[word, number] : working.formulas[f]) {
            const int wordWidth = diagramTextWidth(word, P);
            const int numberWidth = diagramTextWidth(number.text, P);
            const int width = std::max(wordWidth, numberWidth);
            addText(d, plain(word), x + (width - wordWidth) / 2, y, P, line);
            if (finished)
                addText(d, number, x + (width - numberWidth) / 2, y + P + Gap, P, line + 1);
            x += width + P / 2;
        }
        if (finished && f == working.formulas.size() - 1) {
            x = addText(d, plain(u"＝"_s), x, y + P + Gap, P, line + 1).rect.right() + 1 + P / 2;
            addText(d, answer, x, y + P + Gap, P, line + 1);
        }
        y += finished ? 2 * (P + Gap) : P + Gap;
        line += finished ? 2 : 1;
    }
}

int workingHeight(const Working &working)
{
    const int rows = working.rule.isEmpty() ? 2 * int(working.formulas.size()) : 2;
    return FormulaGap + rows * P + (rows - 1) * Gap;
}

Working workingFor(Box hidden, Formulas formulas, const Word &base, const Word &compared,
                   const Word &ratio, const Word &percent)
{
    const Term baseTerm { u"もとにする量"_s, base }, comparedTerm { u"くらべられる量"_s, compared },
            ratioTerm { u"割合"_s, ratio }, percentTerm { u"百分率"_s, percent };
    const Term equals = sign(u"＝"_s), times = sign(u"×"_s), by = sign(u"÷"_s),
               hundred = sign(u"100"_s);
    const auto unknown = [](const Term &term) { return Term { term.word, asked() }; };
    const bool percentKind = formulas == Formulas::Percent;
    // A percentage is turned into a ratio first, and the ratio's formula does the rest.
    const Formula toRatio { ratioTerm, equals, percentTerm, by, hundred };
    switch (hidden) {
    case Box::BaseRatio:
        return { {}, u"もとにする量の割合は、いつも 1 です。"_s, u"もとにする量の割合"_s };
    case Box::BasePercent:
        return { {}, u"もとにする量の百分率は、いつも 100％ です。"_s, u"もとにする量の百分率"_s };
    case Box::BaseAmount: {
        const Formula formula { unknown(baseTerm), equals, comparedTerm, by, ratioTerm };
        return { percentKind ? QList<Formula> { toRatio, formula } : QList<Formula> { formula } };
    }
    case Box::ComparedAmount: {
        const Formula formula { unknown(comparedTerm), equals, baseTerm, times, ratioTerm };
        return { percentKind ? QList<Formula> { toRatio, formula } : QList<Formula> { formula } };
    }
    case Box::ComparedRatio:
        if (formulas == Formulas::RatioPercent)
            return { { { unknown(ratioTerm), equals, percentTerm, by, hundred } } };
        return { { { unknown(ratioTerm), equals, comparedTerm, by, baseTerm } } };
    case Box::ComparedPercent: {
        const Formula formula { unknown(percentTerm), equals, ratioTerm, times, hundred };
        if (percentKind)
            return { { { ratioTerm, equals, comparedTerm, by, baseTerm }, formula } };
        return { { formula } };
    }
    default:
        return {};
    }
}

// Kinds 1 to 8: the amounts' line above the ratios' and/or percentages' lines, one scale for
// all, 0 under 0, 1 (100) under the base amount and the ratio under the compared amount, each
// line's numbers just above it, and the names of the two amounts over the top line.
RelationDiagram numberLines(const ProblemRow &row, Kind kind, DiagramStep step)
{
    const ProblemView view = viewOfProblem(row, kind);
    const BoxTexts reveal = revealTexts(row, kind, BuaiDigits {});
    const bool revealed = step == DiagramStep::Finished;
    const auto word = [&](Box box) { return wordOfBox(view, reveal, box, revealed); };
    // Where two quantities stand at one point, one label: the one to find, if either is.
    const auto oneWord = [&](Box baseBox, Box comparedBox) {
        const Word base = word(baseBox);
        return base.hidden || base.revealed ? base : word(comparedBox);
    };

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

    const KindRow &k = kindRow(kind);
    const Box hidden = view.answerField.value_or(Box::BaseAmount);
    // The percentage kinds show no ratio; their formulas work with the one the percentage is.
    const Word ratioWord = k.use[boxIndex(Box::ComparedRatio)] == BoxUse::Off
            ? plain(decimal(std::abs(row.ComparedPercent) / 100, 4))
            : word(Box::ComparedRatio);
    const Working working =
            workingFor(hidden, k.formulas, word(Box::BaseAmount), word(Box::ComparedAmount),
                       ratioWord, word(Box::ComparedPercent));
    Word answer = word(hidden);
    if ((hidden == Box::BasePercent || hidden == Box::ComparedPercent) && answer.revealed)
        answer.text += u"％"_s;

    // The names, then each line's numbers above it; the lines keep their place from step to
    // step, with room under them for the finished formula.
    const int labelsHeight = P + MarkGap + TickHalf;
    QList<int> axisY { P + NameGap + labelsHeight };
    for (qsizetype i = 1; i < axes.size(); ++i)
        axisY.append(axisY.last() + TickHalf + LineGap + labelsHeight);
    const int linesBottom = axisY.last() + TickHalf;
    const int top = (DiagramHeight - linesBottom - workingHeight(working)) / 2;
    for (int &y : axisY)
        y += top;

    double ratio = std::abs(row.ComparedRatio);
    if (!(ratio <= 10))
        ratio = 10; // a row the drill never makes; keep it on the panel
    const double scale = std::max(1.0, ratio);
    const auto xOf = [&](double value) {
        return ScaleLeft + static_cast<int>(std::lround(value / scale * ScaleLength));
    };
    const int zeroX = ScaleLeft, baseX = xOf(1.0);
    const bool together = std::abs(ratio - 1) < 1e-9;
    int comparedX = baseX;
    if (!together) {
        comparedX = xOf(ratio);
        if (std::abs(comparedX - baseX) < MarkSpacing)
            comparedX = baseX + (ratio < 1 ? -MarkSpacing : MarkSpacing);
        comparedX = std::max(comparedX, zeroX + MarkSpacing);
    }

    RelationDiagram d;
    d.texts.reserve(32);
    d.strokes.reserve(32);
    for (qsizetype i = 0; i < axes.size(); ++i) {
        const Axis &axis = axes[i];
        const int y = axisY[i], line = static_cast<int>(i) + 1;
        DiagramText &caption = addText(d, plain(axis.caption), CaptionLeft, y - P / 2, P, line);
        caption.bold = true;
        addStroke(d, QLine(zeroX, y, xOf(scale) + AxisOverrun, y), DiagramStrokeStyle::Axis);
        addStroke(d, QLine(zeroX, y - TickHalf, zeroX, y + TickHalf), DiagramStrokeStyle::Tick);
        addStroke(d, QLine(baseX, y - TickHalf, baseX, y + TickHalf), DiagramStrokeStyle::Tick);
        if (!together)
            addStroke(d, QLine(comparedX, y - TickHalf, comparedX, y + TickHalf),
                      DiagramStrokeStyle::Tick);
        addLabel(d, plain(u"0"_s), zeroX, y, line);
        const int leftmost = d.texts.last().rect.right() + 1 + LabelGap;
        if (together) {
            const qsizetype label =
                    addLabel(d, oneWord(axis.baseBox, axis.comparedBox), baseX, y, line);
            if (i == 0) {
                Point point = pointOf(d, u"もとにする量 ＝ くらべられる量"_s, label);
                point.left = std::clamp(point.centre - point.width() / 2, leftmost,
                                        DiagramWidth - Margin - point.width());
                addName(d, point, y - labelsHeight - NameGap - P, 0);
            }
            continue;
        }
        const qsizetype baseLabel = addLabel(d, word(axis.baseBox), baseX, y, line);
        // The compared amount's label keeps to its side of the base's, as its value does.
        const qsizetype comparedLabel =
                addLabel(d, word(axis.comparedBox), comparedX, y, line, comparedX < baseX ? -1 : 1);
        if (i == 0) {
            Point base = pointOf(d, u"もとにする量"_s, baseLabel);
            Point compared = pointOf(d, u"くらべられる量"_s, comparedLabel);
            if (compared.centre < base.centre)
                placePoints(compared, base, leftmost);
            else
                placePoints(base, compared, leftmost);
            const int nameTop = y - labelsHeight - NameGap - P;
            addName(d, base, nameTop, 0);
            addName(d, compared, nameTop, 0);
            addArrow(d, base, compared, nameTop, 0);
        }
    }
    if (axes.size() > 1) {
        const int from = axisY.first() + TickHalf + 1, to = axisY.last() - TickHalf - 1;
        addGuide(d, baseX, from, to);
        if (!together)
            addGuide(d, comparedX, from, to);
    }
    addWorking(d, working, answer, step, linesBottom + top + FormulaGap,
               static_cast<int>(axes.size()) + 1);
    return d;
}

// Kinds 9 and 10: a table of the place values, 割 分 厘 over the worth of one of each over the
// ratio's digits, with the ratio before it; the formula writes the ratio as its parts.
RelationDiagram placeValues(const ProblemRow &row, Kind kind, DiagramStep step)
{
    const ProblemView view = viewOfProblem(row, kind);
    const BuaiDigits digits = view.buai.value_or(BuaiDigits {});
    const BoxTexts reveal = revealTexts(row, kind, digits);
    const bool revealed = step == DiagramStep::Finished;
    const auto word = [&](Box box) { return wordOfBox(view, reveal, box, revealed); };
    const Word ratio = word(Box::ComparedRatio);
    const bool ratioAsked = view.asked[boxIndex(Box::ComparedRatio)];
    const std::array<Box, 3> placeBoxes { Box::Wari, Box::Bu, Box::Rin };
    const std::array<QString, 3> units { u"割"_s, u"分"_s, u"厘"_s };
    const std::array<QString, 3> worth { u"0.1"_s, u"0.01"_s, u"0.001"_s };
    const std::array<QString, 3> places { u"1/10の位"_s, u"1/100の位"_s, u"1/1000の位"_s };
    constexpr int CellsLeft = 200, CellWidth = 128, Pad = 4;
    constexpr int TableHeight = Pad + P + 2 * Pad + P + 2 * Pad + Big + Pad;
    constexpr int WorkingHeight = FormulaGap + P + Gap + P;

    const int top = (DiagramHeight - TableHeight - WorkingHeight) / 2;
    const int unitsTop = top + Pad, worthTop = unitsTop + P + 2 * Pad;
    const int digitsTop = worthTop + P + 2 * Pad, bottom = top + TableHeight;

    RelationDiagram d;
    const auto centredIn = [](int i, const QString &text, int pixels) {
        return CellsLeft + i * CellWidth + (CellWidth - diagramTextWidth(text, pixels)) / 2;
    };
    for (int i = 0; i < 3; ++i) {
        const auto at = std::size_t(i);
        addText(d, plain(units[at]), centredIn(i, units[at], P), unitsTop, P, 0).bold = true;
        addText(d, plain(worth[at]), centredIn(i, worth[at], P), worthTop, P, 1);
        Word digit = word(placeBoxes[at]);
        digit.said = digit.text + units[at] + (digit.revealed ? u"（答え）"_s : QString());
        addText(d, digit, centredIn(i, digit.text, Big), digitsTop, Big, 2);
        const int left = CellsLeft + i * CellWidth;
        addStroke(d, QLine(left, top, left, bottom), DiagramStrokeStyle::Frame);
    }
    const int right = CellsLeft + 3 * CellWidth;
    addStroke(d, QLine(right, top, right, bottom), DiagramStrokeStyle::Frame);
    for (const int y : { top, worthTop - Pad, bottom })
        addStroke(d, QLine(CellsLeft, y, right, y), DiagramStrokeStyle::Frame);
    const int equalsLeft = CellsLeft - Big / 2 - Big;
    addText(d, plain(u"＝"_s), equalsLeft, digitsTop, Big, 2);
    addText(d, ratio, equalsLeft - Big / 2 - diagramTextWidth(ratio.text, Big), digitsTop, Big, 2);
    addText(d, plain(u"1割 ＝ 10％"_s), CaptionLeft, worthTop, P, 3);

    if (step == DiagramStep::Picture)
        return d;
    // The ratio's places become its units, or its units its places, as the pupil goes.
    QStringList rules;
    for (std::size_t i = 0; i < 3; ++i)
        rules << (ratioAsked ? units[i] + u" → "_s + places[i] : places[i] + u" → "_s + units[i]);
    const int formulaTop = bottom + FormulaGap;
    addText(d, plain(rules.join(u"、"_s)), CaptionLeft, formulaTop, P, 4);
    if (step != DiagramStep::Finished)
        return d;

    // Textbooks leave out the units with no digit: 0.105 is 1割5厘.
    const std::array<double, 3> digit { digits.wari, digits.bu, digits.rin };
    QStringList parts;
    QString written;
    for (std::size_t i = 0; i < 3; ++i) {
        if (digit[i] == 0)
            continue;
        parts << decimal(digit[i] * std::pow(0.1, double(i + 1)), 3);
        written += decimal(digit[i], 0) + units[i];
    }
    // A ratio of one place is its own part: 0.1 → 1割.
    QList<Word> sum;
    if (parts.size() > 1)
        sum = { plain(parts.join(u" ＋ "_s)), plain(ratioAsked ? u"＝"_s : u"→"_s) };
    QList<Word> words;
    if (ratioAsked)
        words = QList<Word> { plain(written), plain(u"＝"_s) } + sum + QList<Word> { ratio };
    else
        words = QList<Word> { plain(ratio.text), plain(u"＝"_s) } + sum
                + QList<Word> { { written, false, true } };
    if (parts.size() == 1 && !ratioAsked)
        words[1] = plain(u"→"_s);
    int x = CaptionLeft;
    for (const Word &w : std::as_const(words))
        x = addText(d, w, x, formulaTop + P + Gap, P, 5).rect.right() + 1 + P / 2;
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

DiagramStep diagramStepOf(bool answeredWrongly, bool revealed)
{
    if (revealed)
        return DiagramStep::Finished;
    return answeredWrongly ? DiagramStep::Formula : DiagramStep::Picture;
}

RelationDiagram relationDiagramOf(const ProblemRow &row, Kind kind, DiagramStep step)
{
    if (kindRow(kind).formulas == Formulas::PlaceValues)
        return placeValues(row, kind, step);
    return numberLines(row, kind, step);
}

RelationDiagram diagramBeforeStart()
{
    RelationDiagram d;
    const QString text = u"スタートボタンをおすと、ここに問題の図が出ます。"_s;
    const int width = diagramTextWidth(text, P);
    addText(d, plain(text), (DiagramWidth - width) / 2, (DiagramHeight - P) / 2, P, 0);
    return d;
}

QString relationDiagramDescription(const RelationDiagram &diagram)
{
    std::map<int, QList<const DiagramText *>> lines;
    for (const DiagramText &t : diagram.texts) {
        if (!t.said || !t.said->isEmpty())
            lines[t.line].append(&t);
    }
    QStringList out;
    for (auto &[number, texts] : lines) {
        std::stable_sort(texts.begin(), texts.end(),
                         [](const DiagramText *a, const DiagramText *b) {
                             return a->rect.left() < b->rect.left();
                         });
        QString text;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (i > 0
                && (texts[i]->said || texts[i - 1]->said
                    || texts[i]->rect.left() > texts[i - 1]->rect.right() + 1))
                text += u' ';
            text += texts[i]->said.value_or(texts[i]->text);
        }
        out.append(text);
    }
    return out.join(u'\n');
}

#include "display/problem_display.h"

#include "display/number_text.h"

#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr std::size_t at(Box box)
{
    return boxIndex(box);
}

QString shown(double value, int width, int decimals)
{
    return TrimZeros(FormatFixed(value, width, decimals));
}

// Rounding goes through the box text, so a digit held a rounding step off a whole number
// becomes that whole number.
double roundedThroughText(double value, int width, int decimals)
{
    return ReadNumber(FormatFixed(value, width, decimals));
}

} // namespace

BuaiDigits buaiDigitsOf(double comparedPercent)
{
    const double p = comparedPercent;
    BuaiDigits d;
    d.wari = std::trunc(p * 0.1);
    d.bu = std::trunc(p) - 10 * d.wari;
    d.rin = (p - std::trunc(p)) * 10;
    d.wari = roundedThroughText(d.wari, 4, 0);
    d.bu = roundedThroughText(d.bu, 4, 0);
    d.rin = roundedThroughText(d.rin, 4, 0);
    // A percentage held just below a whole number (22.999999999999996 for 0.23) rounds its
    // rin up to 10; carry it into bu.
    if (d.rin >= 10) {
        d.bu += 1;
        d.rin -= 10;
    }
    return d;
}

ProblemView viewOfProblem(const ProblemRow &row, Kind kind)
{
    ProblemView view;
    const KindRow &k = kindRow(kind);
    if (k.buai != Buai::None)
        view.buai = buaiDigitsOf(row.ComparedPercent);
    view.colour = k.colour;

    for (int field = 1; field <= 6; ++field) {
        const BoxUse use = k.use[std::size_t(field - 1)];
        if (use == BoxUse::Off)
            continue;
        int decimals = field <= 3 ? 0 : 2;
        if (field == 4 && k.buai != Buai::None)
            decimals = 1;
        const double value = row.field(field);
        const Box box = Box(field);
        if (use == BoxUse::Asked && !(value > 0)) {
            view.text[at(box)] = QString::fromUtf16(HiddenMark);
            view.expectedValue = roundedThroughText(-value, 6, 2);
            view.answerField = box;
            view.asked[at(box)] = true;
        } else {
            view.text[at(box)] = shown(value, 6, decimals);
        }
    }

    if (k.buai == Buai::DigitsAsked) {
        view.text[at(Box::ComparedRatio)] = shown(row.ComparedRatio, 6, 3);
        view.text[at(Box::Wari)] = u"?"_s;
        view.text[at(Box::Bu)] = view.text[at(Box::Rin)] = u"0"_s;
        view.answerField = Box::Wari;
        view.asked[at(Box::Wari)] = view.asked[at(Box::Bu)] = view.asked[at(Box::Rin)] = true;
    } else if (k.buai == Buai::RatioAsked) {
        view.text[at(Box::ComparedRatio)] = u"?"_s;
        view.text[at(Box::Wari)] = shown(view.buai->wari, 3, 0);
        view.text[at(Box::Bu)] = shown(view.buai->bu, 2, 0);
        view.text[at(Box::Rin)] = shown(view.buai->rin, 2, 0);
        view.expectedValue = roundedThroughText(row.ComparedRatio, 6, 3);
        view.answerField = Box::ComparedRatio;
        view.asked[at(Box::ComparedRatio)] = true;
    }
    return view;
}

std::array<std::optional<QString>, 9> revealTexts(const ProblemRow &row, Kind kind,
                                                  const BuaiDigits &buai)
{
    struct Format
    {
        int width, decimals;
    };
    constexpr Format FieldFormats[6] = {
        { 6, 0 }, { 2, 0 }, { 6, 0 }, { 6, 2 }, { 6, 2 }, { 6, 0 }
    };
    std::array<std::optional<QString>, 9> texts {};
    for (int field = 1; field <= 6; ++field) {
        const double value = row.field(field);
        if (value < 0) {
            const Format f = FieldFormats[field - 1];
            texts[at(Box(field))] = shown(-value, f.width, f.decimals);
        }
    }
    const Buai buaiRole = kindRow(kind).buai;
    if (buaiRole == Buai::DigitsAsked) {
        texts[at(Box::Wari)] = shown(buai.wari, 3, 0);
        texts[at(Box::Bu)] = shown(buai.bu, 1, 0);
        texts[at(Box::Rin)] = shown(buai.rin, 1, 0);
    }
    if (buaiRole == Buai::RatioAsked)
        texts[at(Box::ComparedRatio)] = shown(row.ComparedRatio, 6, 3);
    return texts;
}

QString boxName(Box box)
{
    static const char16_t *const Names[] = {
        u"もとにする量",
        u"もとにする量の割合",
        u"もとにする量の％",
        u"くらべられる量",
        u"くらべられる量の割合",
        u"くらべられる量の％",
        u"割",
        u"分",
        u"厘",
    };
    return QString::fromUtf16(Names[at(box)]);
}

std::array<std::optional<QString>, 9> questionsOf(const ProblemView &view)
{
    QStringList known;
    for (Box box : Boxes) {
        const std::size_t i = at(box);
        if (view.text[i] && !view.asked[i] && box != Box::BaseRatio && box != Box::BasePercent)
            known << boxName(box) + u' ' + view.text[i]->trimmed();
    }
    const QString shown = known.join(u"、"_s);
    std::array<std::optional<QString>, 9> questions {};
    for (Box box : Boxes) {
        const std::size_t i = at(box);
        if (view.asked[i])
            questions[i] =
                    (shown.isEmpty() ? QString() : shown + u"。"_s) + boxName(box) + u"は？"_s;
    }
    return questions;
}

void beginProblem(const ProblemView &view, Drill &state)
{
    if (view.buai) {
        state.BuaiWari = view.buai->wari;
        state.BuaiBu = view.buai->bu;
        state.BuaiRin = view.buai->rin;
        state.TypedWari = state.TypedBu = state.TypedRin = 0.0;
    }
    if (view.expectedValue)
        state.ExpectedValue = *view.expectedValue;
    if (view.answerField)
        state.AnswerField = *view.answerField;
    state.FirstTry = true;
}

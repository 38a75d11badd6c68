#include "display/problem_display.h"

#include "display/number_text.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Index of a box in ProblemView's arrays.
constexpr int Edit1 = 0, Edit2 = 1, Edit3 = 2, Edit4 = 3, Edit5 = 4, Edit6 = 5, Edit11 = 6,
              Edit12 = 7, Edit13 = 8;

enum Use : char { Off, Tested, Shown };

// Kind families: 1-3 ratios, 4-6 percentages, 7 everything, 8 ratio and percentage, 9-10 buai.
int familyOf(int kind)
{
    if (kind <= 3)
        return 0;
    if (kind <= 6)
        return 1;
    return kind - 5; // 7 -> 2, 8 -> 3, 9 and 10 -> 4 and 5
}

constexpr BoxColour G = BoxColour::Grey, W = BoxColour::White;
// Colours of Edit2, Edit3, Edit5, Edit6 and of the three buai boxes, by family; Edit1 and
// Edit4 are never coloured.
constexpr BoxColour ColourTable[6][5] = {
    { W, G, W, G, G }, { G, W, G, W, G }, { W, W, W, W, G },
    { W, W, W, W, G }, { W, W, W, G, W }, { W, W, W, G, W },
};

// How each of Edit1..Edit6 is filled, by family.
constexpr Use UseTable[6][6] = {
    { Tested, Tested, Off, Tested, Tested, Off },
    { Tested, Off, Tested, Tested, Off, Tested },
    { Tested, Tested, Tested, Tested, Tested, Tested },
    { Shown, Tested, Tested, Shown, Tested, Tested },
    { Shown, Shown, Shown, Shown, Off, Off },
    { Shown, Shown, Shown, Shown, Off, Off },
};

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

BuaiDigits BuaiDigitsOf(double comparedPercent)
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

ProblemView ViewOfProblem(const ProblemRow &row, int kind)
{
    ProblemView view;
    if (kind < 1 || kind > 10)
        return view;
    const int family = familyOf(kind);
    const bool buaiKind = kind == 9 || kind == 10;
    if (buaiKind)
        view.buai = BuaiDigitsOf(row.ComparedPercent);

    const BoxColour *colours = ColourTable[family];
    view.colour[Edit1] = view.colour[Edit4] = BoxColour::Unchanged;
    view.colour[Edit2] = colours[0];
    view.colour[Edit3] = colours[1];
    view.colour[Edit5] = colours[2];
    view.colour[Edit6] = colours[3];
    view.colour[Edit11] = view.colour[Edit12] = view.colour[Edit13] = colours[4];

    for (int field = 1; field <= 6; ++field) {
        const Use use = UseTable[family][field - 1];
        if (use == Off)
            continue;
        int decimals = field <= 3 ? 0 : 2;
        if (field == 4 && buaiKind)
            decimals = 1;
        const double value = row.field(field);
        if (use == Tested && !(value > 0)) {
            view.text[field - 1] = QString::fromUtf16(HiddenMark);
            view.expectedValue = roundedThroughText(-value, 6, 2);
            view.answerField = field;
        } else {
            view.text[field - 1] = shown(value, 6, decimals);
        }
    }

    if (kind == 9) {
        view.text[Edit5] = shown(row.ComparedRatio, 6, 3);
        view.text[Edit11] = u"?"_s;
        view.text[Edit12] = view.text[Edit13] = u"0"_s;
        view.answerField = 11;
    } else if (kind == 10) {
        view.text[Edit5] = u"?"_s;
        view.text[Edit11] = shown(view.buai->wari, 3, 0);
        view.text[Edit12] = shown(view.buai->bu, 2, 0);
        view.text[Edit13] = shown(view.buai->rin, 2, 0);
        view.expectedValue = roundedThroughText(row.ComparedRatio, 6, 3);
        view.answerField = 5;
    }
    return view;
}

std::array<std::optional<QString>, 9> RevealTexts(const ProblemRow &row, int kind,
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
            texts[field - 1] = shown(-value, f.width, f.decimals);
        }
    }
    if (kind == 9) {
        texts[Edit11] = shown(buai.wari, 3, 0);
        texts[Edit12] = shown(buai.bu, 1, 0);
        texts[Edit13] = shown(buai.rin, 1, 0);
    }
    if (kind == 10)
        texts[Edit5] = shown(row.ComparedRatio, 6, 3);
    return texts;
}

void BeginProblem(const ProblemView &view, DrillStateData &state)
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

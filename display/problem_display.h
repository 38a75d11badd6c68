// What each box shows for a problem of a kind: colours, texts, the expected answer.
#pragma once

#include "drill/drill.h"

#include <QString>

#include <array>
#include <optional>

// The wari, bu and rin digits of a compared ratio, whole numbers.
struct BuaiDigits
{
    double wari = 0.0;
    double bu = 0.0;
    double rin = 0.0;
};

// Digits of a percentage P in 0.1..99.9 (the ratio x 100), rounded through the box texts.
BuaiDigits buaiDigitsOf(double comparedPercent);

// Everything ShowProblem writes for one row; boxes are indexed as Boxes.
struct ProblemView
{
    std::array<BoxColour, 9> colour {};
    std::array<std::optional<QString>, 9> text {};
    std::optional<double> expectedValue;
    std::optional<Box> answerField;
    std::optional<BuaiDigits> buai; // the buai kinds
    // The boxes the pupil must fill: the answer box, or all three digits where buai is typed.
    std::array<bool, 9> asked {};
};

ProblemView viewOfProblem(const ProblemRow &row, Kind kind);

// What a screen reader says with each box the pupil must fill: the numbers the problem shows,
// each with its box's name, then what the box asks ("もとにする量 60、くらべられる量 330。
// くらべられる量の割合は？"). The base's ratio and percentage, always 1 and 100, are said only
// when asked. Boxes as Boxes; nothing for a box that asks nothing.
std::array<std::optional<QString>, 9> questionsOf(const ProblemView &view);
// A box's name, as its label reads.
QString boxName(Box box);

// What laying out a problem does to the drill: the answer box and the value or the buai digits
// it expects (none typed yet), and a first try.
void beginProblem(const ProblemView &view, Drill &drill);

// The texts Button2 writes when it reveals the answers of a row; boxes as Boxes.
std::array<std::optional<QString>, 9> revealTexts(const ProblemRow &row, Kind kind,
                                                  const BuaiDigits &buai);

// The full-width mark of the box the pupil must fill.
inline constexpr char16_t HiddenMark[] = u"？";

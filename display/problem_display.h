// What each box shows for a problem of a kind: colours, texts, the expected answer.
#pragma once

#include "drill/drill_state.h"

#include <QString>

#include <array>
#include <optional>

enum class BoxColour { Unchanged, Grey, White };

// The wari, bu and rin digits of a compared ratio, whole numbers.
struct BuaiDigits
{
    double wari = 0.0;
    double bu = 0.0;
    double rin = 0.0;
};

// Digits of a percentage P in 0.1..99.9 (the ratio x 100), rounded through the box texts.
BuaiDigits BuaiDigitsOf(double comparedPercent);

// Everything ShowProblem writes for one row; boxes are indexed as EntryBoxCodes.
struct ProblemView
{
    std::array<BoxColour, 9> colour {};
    std::array<std::optional<QString>, 9> text {};
    std::optional<double> expectedValue;
    std::optional<int> answerField;
    std::optional<BuaiDigits> buai; // kinds 9 and 10
};

ProblemView ViewOfProblem(const ProblemRow &row, int kind);

// What laying out a problem does to the drill state: the answer box and the value or the buai
// digits it expects (none typed yet), and a first try.
void BeginProblem(const ProblemView &view, DrillStateData &state);

// The texts Button2 writes when it reveals the answers of a row; boxes as EntryBoxCodes.
std::array<std::optional<QString>, 9> RevealTexts(const ProblemRow &row, int kind,
                                                  const BuaiDigits &buai);

// The full-width mark of the box the pupil must fill.
inline constexpr char16_t HiddenMark[] = u"？";

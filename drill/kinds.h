// The ten kinds of problem as one table, and the nine boxes an answer is typed into: what the
// generator, the boxes, the diagram, the drill's steps and the kind choice read of a kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// In the order of the kind choice; the drill's ProblemKind holds one.
enum class Kind : std::int32_t {
    AmountsToRatio = 1, // 量→割合
    RatioToAmount, // 割合→量
    RatioAndAmount, // 割合←→量
    AmountsToPercent, // 量→百分率
    PercentToAmount, // 百分率→量
    PercentAndAmount, // 量←→百分率
    AmountRatioPercent, // 量・割合・百分率
    RatioAndPercent, // 割合←→百分率
    RatioToBuai, // 割合→歩合
    BuaiToRatio, // 歩合→割合
};

// The boxes that act on Enter, by the number of their control: the six quantities in the order
// of a problem's row (Edit1..Edit6), then wari, bu and rin (Edit11..Edit13).
enum class Box : std::int32_t {
    BaseAmount = 1,
    BaseRatio = 2,
    BasePercent = 3,
    ComparedAmount = 4,
    ComparedRatio = 5,
    ComparedPercent = 6,
    Wari = 11,
    Bu = 12,
    Rin = 13,
};
constexpr std::array<Box, 9> Boxes { Box::BaseAmount,
                                     Box::BaseRatio,
                                     Box::BasePercent,
                                     Box::ComparedAmount,
                                     Box::ComparedRatio,
                                     Box::ComparedPercent,
                                     Box::Wari,
                                     Box::Bu,
                                     Box::Rin };
// A box's place in Boxes, and so in every array kept per box.
constexpr std::size_t boxIndex(Box box)
{
    const int code = int(box);
    return std::size_t(code <= 6 ? code - 1 : code - 5);
}
// The six quantity boxes hold the field of a problem's row with their number.
constexpr bool isQuantityBox(Box box)
{
    return int(box) <= 6;
}

// How a kind fills a quantity box: not at all, with a number or "？", or always with a number.
enum class BoxUse : char { Off, Asked, Shown };
enum class BoxColour : char { Unchanged, Grey, White };
// The buai kinds: the pupil types a ratio's wari, bu and rin, or the ratio of the three.
enum class Buai : char { None, DigitsAsked, RatioAsked };
// The rule the formulas of a kind are written in.
enum class Formulas : char { Ratio, Percent, RatioPercent, PlaceValues };

// A draw r in 0..11 below `below` (the first range that fits) hides the field of `box`.
struct HideRange
{
    std::uint32_t below = 0;
    Box box = Box::BaseAmount;
};

struct KindRow
{
    const char16_t *caption;
    std::array<BoxUse, 6> use; // the quantity boxes, in their order
    std::array<BoxColour, 9> colour; // every box, as Boxes
    std::array<HideRange, 6> hidden; // ends at the first range with below 0
    Buai buai;
    bool printable; // the worksheets are problems of amounts and ratios
    Formulas formulas;
};

namespace kinds {
using enum BoxUse;
constexpr BoxColour U = BoxColour::Unchanged, G = BoxColour::Grey, W = BoxColour::White;
constexpr std::array<BoxUse, 6> RatioBoxes { Asked, Asked, Off, Asked, Asked, Off };
constexpr std::array<BoxUse, 6> PercentBoxes { Asked, Off, Asked, Asked, Off, Asked };
constexpr std::array<BoxUse, 6> AllBoxes { Asked, Asked, Asked, Asked, Asked, Asked };
constexpr std::array<BoxUse, 6> RatioPercentBoxes { Shown, Asked, Asked, Shown, Asked, Asked };
constexpr std::array<BoxUse, 6> BuaiBoxes { Shown, Shown, Shown, Shown, Off, Off };
// The amounts' boxes are white whatever the kind; the buai boxes only where buai is typed.
constexpr std::array<BoxColour, 9> RatioColours { U, W, G, U, W, G, G, G, G };
constexpr std::array<BoxColour, 9> PercentColours { U, G, W, U, G, W, G, G, G };
constexpr std::array<BoxColour, 9> AllColours { U, W, W, U, W, W, G, G, G };
constexpr std::array<BoxColour, 9> BuaiColours { U, W, W, U, W, G, W, W, W };
} // namespace kinds

// clang-format off
constexpr std::array<KindRow, 10> KindTable { {
    { u"量→割合", kinds::RatioBoxes, kinds::RatioColours,
      { { { 1, Box::BaseRatio }, { 12, Box::ComparedRatio } } },
      Buai::None, true, Formulas::Ratio },
    { u"割合→量", kinds::RatioBoxes, kinds::RatioColours,
      { { { 6, Box::BaseAmount }, { 12, Box::ComparedAmount } } },
      Buai::None, true, Formulas::Ratio },
    { u"割合←→量", kinds::RatioBoxes, kinds::RatioColours,
      { { { 4, Box::BaseAmount }, { 5, Box::BaseRatio }, { 9, Box::ComparedAmount },
          { 12, Box::ComparedRatio } } },
      Buai::None, true, Formulas::Ratio },
    { u"量→百分率", kinds::PercentBoxes, kinds::PercentColours,
      { { { 2, Box::BasePercent }, { 12, Box::ComparedPercent } } },
      Buai::None, false, Formulas::Percent },
    { u"百分率→量", kinds::PercentBoxes, kinds::PercentColours,
      { { { 6, Box::BaseAmount }, { 12, Box::ComparedAmount } } },
      Buai::None, false, Formulas::Percent },
    { u"量←→百分率", kinds::PercentBoxes, kinds::PercentColours,
      { { { 3, Box::BaseAmount }, { 6, Box::BasePercent }, { 9, Box::ComparedAmount },
          { 12, Box::ComparedPercent } } },
      Buai::None, false, Formulas::Percent },
    { u"量・割合・百分率", kinds::AllBoxes, kinds::AllColours,
      { { { 3, Box::BaseAmount }, { 4, Box::BaseRatio }, { 5, Box::BasePercent },
          { 8, Box::ComparedAmount }, { 10, Box::ComparedRatio },
          { 12, Box::ComparedPercent } } },
      Buai::None, false, Formulas::Ratio },
    { u"割合←→百分率", kinds::RatioPercentBoxes, kinds::AllColours,
      { { { 2, Box::BaseRatio }, { 4, Box::BasePercent }, { 8, Box::ComparedRatio },
          { 12, Box::ComparedPercent } } },
      Buai::None, false, Formulas::RatioPercent },
    { u"割合→歩合", kinds::BuaiBoxes, kinds::BuaiColours, {}, Buai::DigitsAsked, false,
      Formulas::PlaceValues },
    { u"歩合→割合", kinds::BuaiBoxes, kinds::BuaiColours, {}, Buai::RatioAsked, false,
      Formulas::PlaceValues },
} };
// clang-format on

constexpr int KindCount = int(KindTable.size());

// The row of a kind; a number outside the table (a kind the program never makes) reads as the
// first kind, so that no rule ever indexes past the table.
constexpr const KindRow &kindRow(Kind kind)
{
    const int n = int(kind);
    return KindTable[std::size_t(n >= 1 && n <= KindCount ? n - 1 : 0)];
}

// The kind choice's items stand in columns of three, filled column by column, the last column
// short. Up and Down go through the items in their order, on to the next column and round from
// the last to the first, so they alone reach every item; Left and Right keep the row in the
// column beside, or take the last item of a short column.
enum class Arrow { Up, Down, Left, Right };
constexpr int KindsPerColumn = 3;
constexpr Kind kindAfterArrow(Kind kind, Arrow arrow)
{
    const int item = int(kind) - 1;
    if (item < 0 || item >= KindCount)
        return kind;
    const int column = item / KindsPerColumn, row = item % KindsPerColumn;
    const int lastColumn = (KindCount - 1) / KindsPerColumn;
    int to = item;
    switch (arrow) {
    case Arrow::Up:
        to = (item + KindCount - 1) % KindCount;
        break;
    case Arrow::Down:
        to = (item + 1) % KindCount;
        break;
    case Arrow::Left:
        to = column == 0 ? item : (column - 1) * KindsPerColumn + row;
        break;
    case Arrow::Right:
        to = column == lastColumn ? item : (column + 1) * KindsPerColumn + row;
        to = to < KindCount ? to : KindCount - 1;
        break;
    }
    return Kind(to + 1);
}

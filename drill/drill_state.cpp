#include "drill/drill_state.h"

#include <algorithm>

DrillStateData DrillState;
ProblemTableData ProblemTable;

double &ProblemRow::field(int number)
{
    switch (number) {
    case 1:
        return BaseAmount;
    case 2:
        return BaseRatio;
    case 3:
        return BasePercent;
    case 4:
        return ComparedAmount;
    case 5:
        return ComparedRatio;
    default:
        return ComparedPercent;
    }
}

double ProblemRow::field(int number) const
{
    return const_cast<ProblemRow *>(this)->field(number);
}

int entryBoxIndex(int code)
{
    const auto it = std::find(EntryBoxCodes.begin(), EntryBoxCodes.end(), code);
    return it == EntryBoxCodes.end() ? -1 : static_cast<int>(it - EntryBoxCodes.begin());
}

void DrillStateData::resetToResting()
{
    CurrentNo = 1;
    CorrectCount = 0;
    RatePercent = 0;
    FirstTry = true;
    AnswerShown = false;
    AnswerField = 2;
    ExpectedValue = -1.0;
    MascotShown = true;
    KeyArmed.fill(false);
    BuaiWari = BuaiBu = BuaiRin = 0.0;
    TypedWari = TypedBu = TypedRin = 0.0;
    TypedBuaiTotal = ExpectedBuaiTotal = 0.0;
}

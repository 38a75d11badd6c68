#include "app/kind_choice_keys.h"

#include <qnamespace.h>

#include <algorithm>

namespace {
constexpr int ItemCount = 10;
constexpr int ItemsPerColumn = 3;
constexpr int LastColumn = (ItemCount - 1) / ItemsPerColumn;
} // namespace

int KindItemAfterKey(int item, int key)
{
    if (item < 0 || item >= ItemCount)
        return item;
    const int column = item / ItemsPerColumn;
    const int row = item % ItemsPerColumn;
    switch (key) {
    case Qt::Key_Up:
        return (item + ItemCount - 1) % ItemCount;
    case Qt::Key_Down:
        return (item + 1) % ItemCount;
    case Qt::Key_Left:
        return column == 0 ? item : (column - 1) * ItemsPerColumn + row;
    case Qt::Key_Right:
        return column == LastColumn ? item
                                    : std::min((column + 1) * ItemsPerColumn + row, ItemCount - 1);
    default:
        return item;
    }
}

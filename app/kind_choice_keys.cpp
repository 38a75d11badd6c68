#include "app/kind_choice_keys.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>

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

KindChoiceKeys::KindChoiceKeys(QButtonGroup *items) : QObject(items), m_items(items)
{
    for (QAbstractButton *item : items->buttons())
        item->installEventFilter(this);
}

bool KindChoiceKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const int key = keyEvent->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    // Qt's own arrows go by the items' positions and stop at a column's end.
    const int from = m_items->id(static_cast<QAbstractButton *>(watched));
    const int to = KindItemAfterKey(from, key);
    if (QAbstractButton *item = m_items->button(to); item && to != from) {
        item->setFocus(Qt::OtherFocusReason);
        item->setChecked(true);
    }
    return true;
}

// The arrow keys in the kind choice, whose items stand in columns.
#pragma once

// The item an arrow key leads to from an item of the kind choice, whose ten items stand in four
// columns filled column by column, three to a column (the fourth holds one). Up and Down go
// through the items in their order, on to the next column and round from the last to the
// first, so they alone reach every item; Left and Right keep the row in the column beside, or
// take the one item of the short fourth column. Any other key leaves the item as it is.
int KindItemAfterKey(int item, int key);

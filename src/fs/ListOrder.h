#pragma once

#include <vector>

#include "fs/ListRow.h"

// The order of the file list's rows: by one of its columns, up or down. Texts compare as the
// user reads them (names as displayed, ASCII letters without case), numbers as numbers:
// attribute, size (in bytes), addresses, date and start sector by value, not by their text.
// Sub-directories come before files in either direction, as in a file manager; rows that
// compare equal keep their directory order.
struct ListOrder {
    static constexpr int kDirectoryOrder = -1;

    int column = kDirectoryOrder; // 0 .. kListColumns - 1, or kDirectoryOrder
    bool ascending = true;
};

// Negative, zero or positive as row a sorts before, with or after row b by column alone
// (ascending, directories not set apart).
int CompareListColumn(const ListRow& a, const ListRow& b, int column);

void SortListRows(std::vector<ListRow>& rows, ListOrder order);

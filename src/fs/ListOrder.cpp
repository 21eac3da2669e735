#include "fs/ListOrder.h"

#include <algorithm>
#include <string>

#include "fs/FileMode.h"
#include "fs/SjisText.h"

namespace {

enum Column { kName, kMode, kAttribute, kSize, kLoad, kExec, kDate, kStart };

template <typename T> int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

char FoldAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// UTF-8 compares by code point when compared byte by byte (as unsigned).
int CompareText(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (const int c = Compare(static_cast<unsigned char>(FoldAscii(a[i])),
                                  static_cast<unsigned char>(FoldAscii(b[i])));
            c != 0)
            return c;
    if (const int c = Compare(a.size(), b.size()); c != 0)
        return c;
    // "abc" and "ABC" still have an order, so a sort is the same every time.
    return Compare(a, b);
}

// The size as the list shows it: a BRD entry's field counts 32-byte records.
unsigned SizeInBytes(const DirEntry& entry) {
    constexpr unsigned kBrdRecordBytes = 32;
    const bool records = entry.Mode() == FileMode::ToByte(FileModeCode::Brd);
    return entry.Size() * (records ? kBrdRecordBytes : 1u);
}

bool IsDirectory(const ListRow& row) {
    return FileMode::BodyLayoutOf(row.entry.Mode()) == BodyLayout::SubDirectory;
}

} // namespace

int CompareListColumn(const ListRow& a, const ListRow& b, int column) {
    const DirEntry& x = a.entry;
    const DirEntry& y = b.entry;
    switch (column) {
    case kName:
        return CompareText(SjisToTerminal(a.columns[kName]), SjisToTerminal(b.columns[kName]));
    case kMode:
        return CompareText(a.columns[kMode], b.columns[kMode]);
    case kAttribute:
        return Compare(x.Attribute(), y.Attribute());
    case kSize:
        return Compare(SizeInBytes(x), SizeInBytes(y));
    case kLoad:
        return Compare(x.LoadAddress(), y.LoadAddress());
    case kExec:
        return Compare(x.ExecAddress(), y.ExecAddress());
    case kDate:
        return Compare(x.Date(), y.Date());
    case kStart:
        return Compare(x.StartSector(), y.StartSector());
    default:
        return 0;
    }
}

void SortListRows(std::vector<ListRow>& rows, ListOrder order) {
    std::stable_sort(rows.begin(), rows.end(), [order](const ListRow& a, const ListRow& b) {
        if (IsDirectory(a) != IsDirectory(b))
            return IsDirectory(a);
        const int c = CompareListColumn(a, b, order.column);
        if (c != 0)
            return order.ascending ? c < 0 : c > 0;
        return a.entryIndex < b.entryIndex;
    });
}

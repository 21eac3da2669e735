#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/ListOrder.h"
#include "support/TestDisk.h"

namespace {

struct Fields {
    std::uint8_t mode;
    const char* name;
    std::uint16_t size;
    std::uint32_t date;
};

// Rows whose texts and values disagree: sizes of 7 figures against 3 (a BRD counts 32-byte
// records), names in both cases.
std::vector<ListRow> Rows() {
    const Fields fields[] = {
        {0x01, "beta", 900, 0x20000000},   // 0
        {0x04, "Alpha", 0x0010, 0},        // 1: 512 bytes
        {0x0F, "SUB", 2048, 0},            // 2
        {0x01, "gamma", 1000, 0x10000000}, // 3
        {0x02, "BETA", 900, 0x10000000},   // 4
    };
    std::vector<ListRow> rows;
    for (int i = 0; i < 5; ++i) {
        DirEntry entry = testdisk::MakeEntry(
            {.mode = fields[i].mode, .name = fields[i].name, .size = fields[i].size});
        entry.SetDate(fields[i].date);
        rows.push_back({i, entry, ListColumns(entry)});
    }
    return rows;
}

std::vector<int> Sorted(ListOrder order) {
    std::vector<ListRow> rows = Rows();
    SortListRows(rows, order);
    std::vector<int> indices;
    for (const ListRow& row : rows)
        indices.push_back(row.entryIndex);
    return indices;
}

} // namespace

TEST(ListOrder, SortsByColumnValueWithDirectoriesFirst) {
    struct Case {
        const char* what;
        ListOrder order;
        std::vector<int> entries;
    };
    const Case cases[] = {
        {"directory order", {}, {2, 0, 1, 3, 4}},
        // Letters without case; "BETA" and "beta" then by their bytes, upper case first.
        {"name up", {0, true}, {2, 1, 4, 0, 3}},
        {"name down", {0, false}, {2, 3, 0, 4, 1}},
        // 512 bytes of records before 900, though its field holds 16.
        {"size up", {3, true}, {2, 1, 0, 4, 3}},
        {"size down", {3, false}, {2, 3, 0, 4, 1}},
        {"date down, ties in directory order", {6, false}, {2, 0, 3, 4, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Sorted(c.order), c.entries);
    }
}

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/ListRow.h"
#include "image/Geometry.h"

namespace {

constexpr std::size_t k2ddSavedBytes = 697008;

std::vector<unsigned char> Saved2dd() {
    DiskImage disk;
    disk.Format(0);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(disk.GetSavedSize(0)));
    disk.Save(bytes.data(), 0);
    return bytes;
}

// What a load or save cannot beat: touching every byte of the file once.
void BM_CopyComplementBaseline(benchmark::State& state) {
    const std::vector<unsigned char> src = Saved2dd();
    std::vector<unsigned char> dst(k2ddSavedBytes);
    // Eight bytes a step, so the baseline does not depend on the compiler vectorising.
    static_assert(k2ddSavedBytes % sizeof(std::uint64_t) == 0);
    const unsigned char* from = src.data();
    unsigned char* to = dst.data();
    for (auto _ : state) {
        for (std::size_t i = 0; i < k2ddSavedBytes; i += sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, from + i, sizeof word);
            word = ~word;
            std::memcpy(to + i, &word, sizeof word);
        }
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * k2ddSavedBytes));
}
BENCHMARK(BM_CopyComplementBaseline);

void BM_LoadD88_80Cylinders(benchmark::State& state) {
    const std::vector<unsigned char> file = Saved2dd();
    DiskImage disk;
    for (auto _ : state) {
        benchmark::DoNotOptimize(disk.Load(file.data(), file.size(), 0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_LoadD88_80Cylinders);

void BM_SaveD88_80Cylinders(benchmark::State& state) {
    DiskImage disk;
    disk.Format(0);
    std::vector<unsigned char> out(static_cast<std::size_t>(disk.GetSavedSize(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(disk.Save(out.data(), 0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_SaveD88_80Cylinders);

void BM_LoadSaveD88_80Cylinders(benchmark::State& state) {
    const std::vector<unsigned char> file = Saved2dd();
    std::vector<unsigned char> out(file.size());
    DiskImage disk;
    for (auto _ : state) {
        disk.Load(file.data(), file.size(), 0);
        disk.Save(out.data(), 0);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LoadSaveD88_80Cylinders);

// A 2DD disk with every other run of 8 clusters used: about half full, many short gaps.
void HalfFull(DiskImage& disk) {
    disk.Format(0);
    const int clusters = disk.GetTotalClusters() - 48;
    for (int k = 0; k < clusters; k += 16)
        disk.MarkUsed(k, 8 * disk.GetClusterBytes());
}

void BM_GetFreeBytesHalfFull(benchmark::State& state) {
    DiskImage disk;
    HalfFull(disk);
    for (auto _ : state)
        benchmark::DoNotOptimize(disk.GetFreeBytes());
}
BENCHMARK(BM_GetFreeBytesHalfFull);

void BM_FindFreeRunHalfFull(benchmark::State& state) {
    DiskImage disk;
    HalfFull(disk);
    const int bytes = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(disk.FindFreeRun(bytes));
}
// 4 KB fits the first gap; 64 KB fits no gap, so the whole bitmap is scanned.
BENCHMARK(BM_FindFreeRunHalfFull)->Arg(4096)->Arg(65536);

// A 2D disk whose root holds 63 entries besides the hidden one: odd entries are files, even
// entries sub-directories, each with its own (empty) 8 sectors.
void FullRoot(DiskImage& disk) {
    disk.Format(1);
    std::vector<unsigned char> flat(static_cast<std::size_t>(disk.GetSavedSize(1)));
    disk.Save(flat.data(), 1);
    for (int i = 1; i < kDirEntries; ++i) {
        unsigned char* entry = flat.data() + kRootDirSector * kSectorBytes + i * kDirEntryBytes;
        std::memset(entry, 0, kDirEntryBytes);
        const int sector = 48 + i * kDirSectors;
        entry[0] = (i % 2) ? 0x01 : 0x0F;
        std::memcpy(entry + 1, "ENTRY", 5);
        entry[6] = static_cast<unsigned char>('0' + i / 10);
        entry[7] = static_cast<unsigned char>('0' + i % 10);
        entry[8] = 0x0D;
        entry[20] = 0x00; // 256 bytes
        entry[21] = 0x01;
        entry[30] = static_cast<unsigned char>(sector & 0xFF);
        entry[31] = static_cast<unsigned char>(sector >> 8);
        std::memset(flat.data() + sector * kSectorBytes, 0, kDirSectors * kSectorBytes);
    }
    disk.Load(flat.data(), flat.size(), 1);
}

void BM_TreeWalkFullRoot(benchmark::State& state) {
    DiskImage disk;
    FullRoot(disk);
    for (auto _ : state)
        benchmark::DoNotOptimize(WalkDirTree(disk));
}
BENCHMARK(BM_TreeWalkFullRoot);

void BM_ListRowsFullRoot(benchmark::State& state) {
    DiskImage disk;
    FullRoot(disk);
    for (auto _ : state)
        benchmark::DoNotOptimize(ListDirectory(disk, kRootDirSector));
}
BENCHMARK(BM_ListRowsFullRoot);

} // namespace

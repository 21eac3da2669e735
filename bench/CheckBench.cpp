#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/DiskImage.h"
#include "fs/FsCheck.h"

// Deletion of one 60,000-byte file per layout (1 OBJ, 3 BSD, 4 BRD) and disk type (1: 2D,
// 256-byte clusters; 0: 2DD, 512-byte clusters), alone in the root or beside 62 small files;
// and the file-system check of a disk filled up with files of every layout.

namespace {

std::vector<unsigned char> Data(std::size_t bytes, unsigned salt) {
    std::vector<unsigned char> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<unsigned char>((i * 131 + salt) & 0xFF);
    return data;
}

int Put(DiskImage& disk, const std::string& name, const std::vector<unsigned char>& data,
        int mode) {
    auto entry = AddFileEntry::Build(name, static_cast<std::uint8_t>(mode), false, 0,
                                     static_cast<std::int64_t>(data.size()), 0, 0);
    return disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, mode);
}

// "S12" and the like; built by append, which GCC 12 does not misjudge as an overlapping copy.
std::string Name(char prefix, int i) {
    std::string name(1, prefix);
    name.append(std::to_string(i));
    return name;
}

std::vector<unsigned char> Flat(const DiskImage& disk) {
    std::vector<unsigned char> flat(static_cast<std::size_t>(disk.GetSavedSize(1)));
    disk.Save(flat.data(), 1);
    return flat;
}

void BM_RemoveFile(benchmark::State& state) {
    const int diskType = static_cast<int>(state.range(0));
    const int mode = static_cast<int>(state.range(1));
    const int others = static_cast<int>(state.range(2));
    DiskImage disk;
    disk.Format(diskType);
    for (int i = 0; i < others; ++i)
        Put(disk, Name('S', i), Data(300, static_cast<unsigned>(i)), 1 + i % 3);
    if (Put(disk, "BIG", Data(60000, 99), mode) != 0) {
        state.SkipWithError("import failed");
        return;
    }
    const int index = others + 1; // entry 0 is the formatted 0x80 entry
    const std::vector<unsigned char> prepared = Flat(disk);
    for (auto _ : state) {
        state.PauseTiming();
        disk.Load(prepared.data(), prepared.size(), 1);
        state.ResumeTiming();
        benchmark::DoNotOptimize(disk.RemoveFile(index));
    }
}
BENCHMARK(BM_RemoveFile)
    ->ArgNames({"type", "mode", "others"})
    ->ArgsProduct({{1, 0}, {1, 3, 4}, {0, 62}})
    ->Unit(benchmark::kMicrosecond);

// A disk whose root holds 63 files of all three layouts and whose space is used up.
void FillDisk(DiskImage& disk, int diskType) {
    disk.Format(diskType);
    const std::size_t bytes = diskType == 0 ? 9000 : 4500;
    for (int i = 0; i < 63; ++i)
        Put(disk, Name('F', i), Data(bytes, static_cast<unsigned>(i)), 1 + i % 4);
}

void BM_CheckFullDisk(benchmark::State& state) {
    DiskImage disk;
    FillDisk(disk, static_cast<int>(state.range(0)));
    const FsCheckReport first = CheckFileSystem(disk);
    if (!first.Ok()) {
        state.SkipWithError(first.Summary().c_str());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckFileSystem(disk));
    state.counters["files"] = first.bodies;
    state.counters["usedPercent"] = 100.0 * first.setPositions / first.dataClusters;
}
BENCHMARK(BM_CheckFullDisk)->ArgName("type")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace

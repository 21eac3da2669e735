#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/DiskImage.h"
#include "host/DiskImageFiles.h"

// Import and export of one file with its host file I/O, per layout (1 OBJ, 3 BSD, 4 BRD),
// disk type (1: 2D, 256-byte clusters; 0: 2DD, 512-byte clusters) and file size.

namespace {

class BenchFiles {
public:
    BenchFiles() {
        m_dir =
            std::filesystem::temp_directory_path() / ("darvex-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    ~BenchFiles() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    // A host file of `bytes` bytes that differ from one another.
    std::string Input(std::size_t bytes) {
        const auto path = m_dir / ("in-" + std::to_string(bytes) + ".bin");
        if (!std::filesystem::exists(path)) {
            std::vector<char> data(bytes);
            for (std::size_t i = 0; i < bytes; ++i)
                data[i] = static_cast<char>((i * 131 + 7) & 0xFF);
            std::ofstream(path, std::ios::binary).write(data.data(), static_cast<long>(bytes));
        }
        return path.string();
    }
    std::string Output() const { return (m_dir / "out.bin").string(); }

private:
    std::filesystem::path m_dir;
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

DirEntry::Bytes32 EntryFor(int mode, std::size_t bytes) {
    return AddFileEntry::Build("BENCH", static_cast<std::uint8_t>(mode), false, 0,
                               static_cast<std::int64_t>(bytes), 0x1200, 0x1200);
}

const char* LayoutName(int mode) {
    return mode == 1 ? "OBJ" : mode == 3 ? "BSD" : "BRD";
}

void Label(benchmark::State& state, int mode, int type, std::size_t bytes) {
    state.SetLabel(std::string(LayoutName(mode)) + (type == 0 ? " 2DD " : " 2D ") +
                   std::to_string(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_ImportFile(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const int type = static_cast<int>(state.range(1));
    const auto bytes = static_cast<std::size_t>(state.range(2));
    const std::string path = Files().Input(bytes);
    DiskImage disk;
    for (auto _ : state) {
        state.PauseTiming();
        disk.Format(type);
        auto entry = EntryFor(mode, bytes);
        state.ResumeTiming();
        const int rc = ImportFile(disk, path.c_str(), entry.data(), 1, mode);
        if (rc != 0) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(rc);
    }
    Label(state, mode, type, bytes);
}

void BM_ExportFile(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const int type = static_cast<int>(state.range(1));
    const auto bytes = static_cast<std::size_t>(state.range(2));
    const std::string path = Files().Input(bytes);
    DiskImage disk;
    disk.Format(type);
    auto entry = EntryFor(mode, bytes);
    if (ImportFile(disk, path.c_str(), entry.data(), 1, mode) != 0) {
        state.SkipWithError("import failed");
        return;
    }
    const std::string out = Files().Output();
    for (auto _ : state) {
        // A new file each time: on ext4, replacing a file's contents by truncation makes the
        // close wait for the old blocks (auto_da_alloc), milliseconds that are not ours.
        state.PauseTiming();
        std::remove(out.c_str());
        state.ResumeTiming();
        const int rc = ExportFile(disk, 1, out.c_str(), 0);
        if (rc != 0) {
            state.SkipWithError("export failed");
            break;
        }
        benchmark::DoNotOptimize(rc);
    }
    Label(state, mode, type, bytes);
}

// Overwriting the same file each time, for comparison with the figures above.
void BM_ExportFileOverwrite(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const std::string path = Files().Input(bytes);
    DiskImage disk;
    disk.Format(1);
    auto entry = EntryFor(1, bytes);
    if (ImportFile(disk, path.c_str(), entry.data(), 1, 1) != 0) {
        state.SkipWithError("import failed");
        return;
    }
    const std::string out = Files().Output();
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportFile(disk, 1, out.c_str(), 0));
    Label(state, 1, 1, bytes);
}

void FileOpsArgs(benchmark::internal::Benchmark* b) {
    for (int mode : {1, 3, 4})
        for (int type : {1, 0})
            for (int bytes : {6000, 60000})
                b->Args({mode, type, bytes});
}

} // namespace

BENCHMARK(BM_ImportFile)->Apply(FileOpsArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExportFile)->Apply(FileOpsArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExportFileOverwrite)->Arg(60000)->Unit(benchmark::kMicrosecond);

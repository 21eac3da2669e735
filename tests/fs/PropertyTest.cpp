#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FsCheck.h"
#include "fs/IplHeader.h"
#include "fs/SjisText.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

// Random sequences of put, rm and boot-put on fresh disks of every type, each checked after
// every step: no checker error, a refused step leaves the image byte for byte as it was, and
// every live file exports to exactly the bytes that were put. The seeds are fixed, so a failure
// names a sequence that can be replayed.

namespace {

// splitmix64: the same numbers on every platform, unlike the standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    std::int64_t Range(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool Chance(int percent) { return Range(1, 100) <= percent; }

private:
    std::uint64_t m_state;
};

constexpr std::size_t kMztHeader = 128;
constexpr std::size_t kMaxPlainSize = 65535;
constexpr std::size_t kMaxBrdBytes = 524288;

// Sizes mostly small, some around the cluster, sector and 16-bit limits, a few beyond them.
std::size_t RandomSize(Rng& rng) {
    const int pick = static_cast<int>(rng.Range(1, 100));
    if (pick <= 60)
        return static_cast<std::size_t>(rng.Range(0, 1200));
    if (pick <= 75) {
        static const std::size_t kEdges[] = {253,  254,   255,   256,   257,    508,
                                             509,  511,   512,   513,   4095,   4096,
                                             4097, 65535, 65536, 65663, 524288, 524289};
        return kEdges[rng.Range(0, std::size(kEdges) - 1)];
    }
    if (pick <= 96)
        return static_cast<std::size_t>(rng.Range(1200, 70000));
    return static_cast<std::size_t>(rng.Range(70000, 600000));
}

// Bytes that give the line-end filter something to do: CR, LF, Shift-JIS lead bytes. Each
// random number yields eight bytes, which keeps the large files cheap to make.
void RandomData(Rng& rng, unsigned char* data, std::size_t bytes) {
    static const unsigned char kAlphabet[16] = {0x0D, 0x0A, 0x0A, 0x82, 0xE0, 0x41, 0x42, 0x00,
                                                0xFF, 0x20, 0x0D, 0x0A, 0x30, 0x31, 0x9F, 0x7E};
    const bool text = rng.Chance(50);
    for (std::size_t i = 0; i < bytes; i += 8) {
        const std::uint64_t bits = rng.Next();
        std::memcpy(data + i, &bits, std::min<std::size_t>(8, bytes - i));
    }
    if (text)
        for (std::size_t i = 0; i < bytes; ++i)
            data[i] = kAlphabet[data[i] & 0x0F];
}

// CR LF to CR: an LF is dropped unless the byte before it in the input is a lead byte.
std::vector<unsigned char> FilterLineEnds(ByteView in) {
    std::vector<unsigned char> out;
    out.reserve(in.size());
    unsigned char previous = 0xFF;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = in.data()[i];
        if (c != 0x0A || IsSjisLeadByte(previous))
            out.push_back(c);
        previous = c;
    }
    return out;
}

struct LiveFile {
    std::string name;
    std::vector<unsigned char> bin; // what a BIN export must give
};

struct Stats {
    long long sequences = 0;
    long long steps = 0;
    long long puts = 0, putsStored = 0;
    long long removes = 0, removesDone = 0;
    long long boots = 0, bootsStored = 0;
    long long prefilled = 0;
    long long fullDirectory = 0; // puts refused for want of a free entry
};

class Sequence {
public:
    Sequence(int diskType, std::uint64_t seed, Stats& stats)
        : m_rng(seed), m_stats(stats), m_type(diskType) {
        m_disk.Format(diskType);
    }

    // Runs `steps` random steps; stops at the first broken property with a message.
    void Run(int steps) {
        // Some sequences start from a nearly full directory, so that a full one is met too.
        if (m_rng.Chance(10))
            Prefill(static_cast<int>(m_rng.Range(55, 63)));
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            m_step = step;
            const int pick = static_cast<int>(m_rng.Range(1, 100));
            m_changed = true;
            if (pick <= 55)
                Put();
            else if (pick <= 85)
                Remove();
            else
                BootPut();
            ++m_stats.steps;
            // A refused step has been shown to leave every byte as it was: nothing to recheck.
            if (m_changed)
                CheckAll();
        }
        if (!::testing::Test::HasFailure())
            RemoveEverything();
        ++m_stats.sequences;
    }

private:
    // The image before a step, kept in one buffer so that a step costs no page faults.
    void KeepImage() {
        const ByteView image = m_disk.Image();
        m_before.assign(image.data(), image.data() + image.size());
    }
    bool ImageKept() const {
        const ByteView image = m_disk.Image();
        return image.size() == m_before.size() &&
               std::equal(m_before.begin(), m_before.end(), image.data());
    }

    std::string Where() const {
        return "disk type " + std::to_string(m_type) + ", step " + std::to_string(m_step) + ": ";
    }

    bool NameLive(const std::string& name) const {
        for (const auto& [index, file] : m_files)
            if (file.name == name)
                return true;
        return false;
    }

    void Put() {
        ++m_stats.puts;
        const int storageMode = static_cast<int>(m_rng.Range(1, 5));
        const bool plain = m_rng.Chance(60);
        const std::string name = "F" + std::to_string(m_rng.Range(0, 24));
        const std::size_t length = RandomSize(m_rng);

        // An MZT header's size field may disagree with the data that follow it.
        std::int64_t sizeField = static_cast<std::int64_t>(length);
        const std::size_t headerBytes = plain ? 0 : kMztHeader;
        std::vector<unsigned char> file(headerBytes + length, 0);
        RandomData(m_rng, file.data() + headerBytes, length);
        if (!plain) {
            const int how = static_cast<int>(m_rng.Range(0, 3));
            sizeField = how == 0   ? static_cast<std::int64_t>(length & 0xFFFF)
                        : how == 1 ? m_rng.Range(0, 65535)
                        : how == 2
                            ? 0
                            : static_cast<std::int64_t>(std::min<std::size_t>(length, 65535));
            file[0] = static_cast<unsigned char>(storageMode == 5 ? 3 : storageMode);
        }
        DirEntry::Bytes32 entry = AddFileEntry::Build(name, static_cast<std::uint8_t>(storageMode),
                                                      false, 0, sizeField, 0x1200, 0x1200);

        // What the file must read back as: the data, filtered for mode 5 from a plain file.
        std::vector<unsigned char> filtered;
        ByteView stored(file.data() + headerBytes, length);
        if (storageMode == 5 && plain) {
            filtered = FilterLineEnds(stored);
            stored = ByteView(filtered.data(), filtered.size());
        }
        const std::size_t L = stored.size();
        std::size_t S = plain && storageMode != 5 ? static_cast<std::size_t>(sizeField & 0xFFFF)
                                                  : static_cast<std::size_t>(sizeField);
        if (storageMode == 5 && plain)
            S = L & 0xFFFF;
        S = std::min(S, L);
        // BRD keeps all L bytes in whole zero-filled blocks; the others S bytes.
        const std::size_t binBytes = storageMode == 4 ? (L + 4095) / 4096 * 4096 : S;
        std::vector<unsigned char> bin(binBytes, 0);
        stored.copyTo(bin.data(), 0, std::min(binBytes, L));
        const bool tooLarge = storageMode == 4 ? L > kMaxBrdBytes : plain && L > kMaxPlainSize;
        const bool mztTooShort = !plain && file.size() <= kMztHeader;
        const int freeBefore = FreeEntries();
        KeepImage();
        const int result = m_disk.ImportFromBuffer(file.data(), file.size(), entry.data(),
                                                   plain ? 1 : 0, storageMode);
        if (result != 0) {
            ASSERT_TRUE(ImageKept()) << Where() << "import " << result << " changed the image";
            m_changed = false;
        }
        // The import's tests come in this order: free entry, MZT length, name, size, space.
        int expected = -1; // -1: stored (0) or no space (4)
        if (freeBefore == 0) {
            expected = 1;
            ++m_stats.fullDirectory;
        } else if (mztTooShort)
            expected = 3;
        else if (NameLive(name))
            expected = 5;
        else if (tooLarge)
            expected = 6;
        if (expected >= 0) {
            ASSERT_EQ(result, expected) << Where() << "L " << L << ", mode " << storageMode
                                        << ", plain " << plain << ", name " << name;
        } else {
            ASSERT_TRUE(result == 0 || result == 4)
                << Where() << "import gave " << result << " (L " << L << ", mode " << storageMode
                << ", plain " << plain << ")";
        }
        if (result != 0)
            return;
        ++m_stats.putsStored;
        const int index = testdisk::FindEntry(m_disk, name);
        ASSERT_GE(index, 0) << Where();
        m_files[index] = {name, std::move(bin)};
        // A contiguous run sized by L holds clusters the entry's S does not describe.
        const int cb = m_disk.GetClusterBytes();
        if (storageMode != 3 && storageMode != 4 && storageMode != 5 &&
            (S + cb - 1) / cb < (L + cb - 1) / cb)
            m_mayLeak = true;
    }

    // Tiny files named G0, G1, ... taking the first `count` free entries.
    void Prefill(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = "G" + std::to_string(i);
            std::vector<unsigned char> data(static_cast<std::size_t>(m_rng.Range(0, 300)));
            RandomData(m_rng, data.data(), data.size());
            const int mode = static_cast<int>(m_rng.Range(1, 3));
            DirEntry::Bytes32 entry =
                AddFileEntry::Build(name, static_cast<std::uint8_t>(mode), false, 0,
                                    static_cast<std::int64_t>(data.size()), 0, 0);
            const int result =
                m_disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, mode);
            if (result == 1)
                break; // directory full
            ASSERT_EQ(result, 0) << "prefill " << i;
            m_files[testdisk::FindEntry(m_disk, name)] = {name, std::move(data)};
        }
        ++m_stats.prefilled;
        CheckAll();
    }

    int FreeEntries() const {
        int free = 0;
        for (int i = 0; i < kDirEntries; ++i) {
            unsigned char raw[kDirEntryBytes];
            m_disk.ReadDirEntry(raw, i);
            free += raw[0] == 0 ? 1 : 0;
        }
        return free;
    }

    void Remove() {
        ++m_stats.removes;
        // Mostly a live file, sometimes any index, now and then one outside the directory.
        int index = static_cast<int>(m_rng.Range(0, kDirEntries - 1));
        if (!m_files.empty() && m_rng.Chance(70)) {
            auto it = m_files.begin();
            std::advance(it, static_cast<long>(m_rng.Range(0, m_files.size() - 1)));
            index = it->first;
        } else if (m_rng.Chance(5)) {
            index = m_rng.Chance(50) ? -1 : kDirEntries;
        }
        unsigned char raw[kDirEntryBytes];
        m_disk.ReadDirEntry(raw, index);
        const bool free = index < 0 || index >= kDirEntries || raw[0] == 0x00;
        // Only a free entry may be refused, so only then is the image worth keeping.
        if (free)
            KeepImage();
        const int result = m_disk.RemoveFile(index);
        if (free) {
            ASSERT_EQ(result, 1) << Where();
            ASSERT_TRUE(ImageKept()) << Where() << "rm of a free entry changed the image";
            m_changed = false;
            return;
        }
        ASSERT_EQ(result, 0) << Where();
        ++m_stats.removesDone;
        m_files.erase(index);
        ASSERT_EQ(m_disk.GetUsedClusters(),
                  m_disk.GetFirstDataCluster() + testdisk::CountUsed(m_disk))
            << Where() << "rm recounts";
    }

    void BootPut() {
        ++m_stats.boots;
        const bool plain = m_rng.Chance(60);
        std::size_t length = m_rng.Chance(10) ? static_cast<std::size_t>(m_rng.Range(0, 2))
                                              : RandomSize(m_rng) % 70000;
        const std::size_t headerBytes = plain ? 0 : kMztHeader;
        std::vector<unsigned char> file(headerBytes + length, 0x55);
        RandomData(m_rng, file.data() + headerBytes, length);
        std::vector<unsigned char> program(file.begin() + static_cast<long>(headerBytes),
                                           file.end());
        const IplHeader header = BootHeaderBuilder::Build(static_cast<int>(m_rng.Range(0, 7)),
                                                          "P" + std::to_string(m_rng.Range(0, 999)),
                                                          static_cast<std::uint16_t>(m_rng.Next()));
        KeepImage();
        const int result = m_disk.RegisterBootFromBuffer(file.data(), file.size(),
                                                         header.Bytes().data(), plain ? 1 : 0);
        const int expectedRefusal = program.empty() ? 2 : program.size() > 65535 ? 3 : 0;
        if (expectedRefusal != 0) {
            ASSERT_EQ(result, expectedRefusal) << Where() << "boot of " << program.size();
        } else {
            ASSERT_TRUE(result == 0 || result == 4) << Where() << "boot gave " << result;
        }
        if (result != 0) {
            ASSERT_TRUE(ImageKept()) << Where() << "boot " << result << " changed the image";
            m_changed = false;
            return;
        }
        ++m_stats.bootsStored;
        if (m_boot)
            m_mayLeak = true; // the old program's clusters stay marked
        m_boot = std::move(program);
        ASSERT_EQ(m_disk.GetUsedClusters(),
                  m_disk.GetFirstDataCluster() + testdisk::CountUsed(m_disk))
            << Where();
    }

    void CheckAll() {
        const FsCheckReport report = CheckFileSystem(m_disk);
        ASSERT_EQ(report.Errors(), 0) << Where() << report.Summary();
        for (const FsFinding& f : report.findings) {
            if (f.code == "leaked") {
                ASSERT_TRUE(m_mayLeak) << Where() << report.Summary();
            }
        }
        for (const auto& [index, file] : m_files) {
            std::vector<unsigned char> out;
            ASSERT_EQ(m_disk.ExportToBuffer(index, 1, out), 0) << Where();
            ASSERT_EQ(out, file.bin) << Where() << "file " << file.name << " at " << index;
        }
        if (m_boot) {
            std::vector<unsigned char> out;
            ASSERT_EQ(m_disk.ExtractBootToBuffer(1, out), 0) << Where();
            ASSERT_EQ(out, *m_boot) << Where() << "boot program";
        }
    }

    // With every file gone, only the boot program may still hold clusters.
    void RemoveEverything() {
        while (!m_files.empty()) {
            const int index = m_files.begin()->first;
            ASSERT_EQ(m_disk.RemoveFile(index), 0) << Where();
            m_files.erase(m_files.begin());
        }
        CheckAll();
        if (m_mayLeak)
            return;
        const int cb = m_disk.GetClusterBytes();
        const int bootClusters =
            m_boot ? static_cast<int>((m_boot->size() + cb - 1) / static_cast<std::size_t>(cb)) : 0;
        ASSERT_EQ(testdisk::CountUsed(m_disk), bootClusters) << Where() << "after removing all";
    }

    Rng m_rng;
    Stats& m_stats;
    int m_type;
    int m_step = 0;
    DiskImage m_disk;
    std::map<int, LiveFile> m_files; // by entry index in the root
    std::optional<std::vector<unsigned char>> m_boot;
    bool m_mayLeak = false;
    bool m_changed = true; // the last step was not refused
    std::vector<unsigned char> m_before;
};

} // namespace

TEST(FsProperty, RandomSequencesKeepTheFileSystemSound) {
    // Sequences per disk type and steps per sequence, small enough for a sanitizer build;
    // DARVEX_PROPERTY_SCALE=n runs n times as many sequences.
    int scale = 1;
    if (const char* env = std::getenv("DARVEX_PROPERTY_SCALE"))
        scale = std::max(1, std::atoi(env));
    const int kSequences = 250 * scale;
    constexpr int kSteps = 10;
    Stats stats;
    const auto start = std::chrono::steady_clock::now();
    for (int type = 0; type < 4 && !HasFailure(); ++type) {
        for (int s = 0; s < kSequences && !HasFailure(); ++s) {
            const std::uint64_t seed =
                0xDA4E0000ull + static_cast<std::uint64_t>(type) * 100000 + s;
            SCOPED_TRACE("seed " + std::to_string(seed));
            Sequence(type, seed, stats).Run(kSteps);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("property: %lld sequences, %lld steps (put %lld/%lld stored, %lld into a full "
                "directory; rm %lld/%lld done; boot %lld/%lld stored; %lld prefilled) in %.2f s\n",
                stats.sequences, stats.steps, stats.puts, stats.putsStored, stats.fullDirectory,
                stats.removes, stats.removesDone, stats.boots, stats.bootsStored, stats.prefilled,
                seconds);
    // The mix must really exercise every operation's success and failure paths.
    EXPECT_GT(stats.putsStored, stats.puts / 4);
    EXPECT_LT(stats.putsStored, stats.puts);
    EXPECT_GT(stats.removesDone, stats.removes / 2);
    EXPECT_GT(stats.bootsStored, stats.boots / 3);
    EXPECT_LT(stats.bootsStored, stats.boots);
    EXPECT_GT(stats.fullDirectory, 0);
}

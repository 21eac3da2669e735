#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

#include <wx/fileconf.h>
#include <wx/menu.h>
#include <wx/sstream.h>
#include <wx/uiaction.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "doc/RecentFiles.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "host/ImageFile.h"
#include "support/TestDisk.h"
#include "ui/DarvexView.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
namespace fs = std::filesystem;

namespace {

// The texts the users know, byte for byte.
const char* const kNotD88 = "D88 ディスクイメージとして読み込めませんでした.";
const char* const kReadOnly = "MZ のディスクではないため, 読み出し専用で開きます.";
const char* const kLossOnSave = "保存すると, このディスクイメージの一部のセクタ情報は失われます.";

// The rows `darvex-cli ls --json` gives for a directory of the image.
std::vector<std::vector<std::string>> CliRows(const fs::path& image, const std::string& dir = "") {
    std::vector<std::string> args = {"ls", image.string(), "--json"};
    if (!dir.empty())
        args.insert(args.begin() + 2, dir);
    const nlohmann::json rows = nlohmann::json::parse(RunCli(args));
    std::vector<std::vector<std::string>> out;
    for (const auto& row : rows)
        out.push_back(row["columns"].get<std::vector<std::string>>());
    return out;
}

std::string Printf(const char* format, const std::string& arg) {
    return wxString::Format(wxString::FromUTF8(format), wxString::FromUTF8(arg)).utf8_string();
}

std::vector<unsigned char> FormattedD88(int type) {
    DiskImage disk;
    disk.Format(type);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(disk.GetSavedSize(0)));
    disk.Save(bytes.data(), 0);
    return bytes;
}

// How many descriptors of this process have the file at path open.
int OpenCount(const fs::path& path) {
    const fs::path real = fs::canonical(path);
    int count = 0;
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd", ec))
        if (fs::read_symlink(fd.path(), ec) == real)
            ++count;
    return count;
}

// The list's file rows: the sub-directories it shows first to be opened left out, as the CLI
// listing leaves them out.
std::vector<std::vector<std::string>> FileRows() {
    auto rows = ListRows();
    std::erase_if(rows, [](const std::vector<std::string>& row) { return row[1] == "DIR  "; });
    return rows;
}

wxTreeItemId FindTreeItem(const std::string& text) {
    wxTreeCtrl* tree = Frame().GetTreeCtrl();
    for (int n = 0; n < TreeView().GetTreeCount(); ++n)
        if (tree->GetItemText(TreeView().GetTreeItem(n)).utf8_string() == text)
            return TreeView().GetTreeItem(n);
    return {};
}

} // namespace

TEST_F(GuiTest, StartWithAnImageShowsWhatTheCliLists) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "NAME.d88");
    ASSERT_TRUE(StartWith(image));

    EXPECT_EQ(Title(), "NAME.d88 - Darvex");
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"root", "  SUB"}));
    // The sub-directory's row first, then the files as the CLI lists them.
    ASSERT_FALSE(ListRows().empty());
    EXPECT_EQ(ListRows()[0][0], "SUB");
    EXPECT_EQ(ListRows()[0][1], "DIR  ");
    const auto rows = FileRows();
    EXPECT_EQ(rows, CliRows(image));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3][0], "ゲーム");  // shown converted from Shift-JIS
    EXPECT_EQ(rows[2][3], "   4096"); // a BRD size counts 32-byte records

    DiskImage disk;
    BuildSampleDisk(disk);
    EXPECT_EQ(SpaceText(), std::to_string(disk.GetClusterBytes() * disk.GetUsedClusters()) + "/" +
                               std::to_string(disk.GetClusterBytes() * disk.GetTotalClusters()));
    EXPECT_TRUE(IsEnabled(wxID_SAVE));
    EXPECT_TRUE(IsEnabled(ID_ADD_FILE));
    EXPECT_FALSE(Doc()->IsModified());

    // Selecting the sub-directory lists it and makes it the current directory.
    const wxTreeItemId sub = FindTreeItem("SUB");
    ASSERT_TRUE(sub.IsOk());
    Frame().GetTreeCtrl()->SelectItem(sub);
    EXPECT_EQ(ListRows(), CliRows(image, "SUB"));
    EXPECT_EQ(Doc()->GetDisk().GetCurrentDir(), TreeView().GetTreeDirSector(1));
    EXPECT_EQ(ListView().GetListEntry(0), 2); // after the "." and ".." entries

    Frame().GetTreeCtrl()->SelectItem(TreeView().GetTreeItem(0));
    EXPECT_EQ(FileRows().size(), 4u);
    EXPECT_EQ(Doc()->GetDisk().GetCurrentDir(), 16);

    // Started with a file, the user's first File > New still asks for the disk type.
    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(2));
    EXPECT_TRUE(Doc()->IsLoaded());
    EXPECT_EQ(Doc()->GetDisk().GetImageSize(), 286720u);
}

TEST_F(GuiTest, DirectoryCycleStopsAtTheNodeLimit) {
    testutil::TempDir dir;
    DiskImage disk;
    BuildCycleDisk(disk);
    SaveDiskFile(disk, dir.path() / "cycle.d88");
    ASSERT_NE(OpenFile(dir.path() / "cycle.d88"), nullptr);
    EXPECT_EQ(TreeView().GetTreeCount(), kMaxTreeNodes);
    EXPECT_EQ(Frame().GetTreeCtrl()->GetCount(), static_cast<unsigned>(kMaxTreeNodes));
}

TEST_F(GuiTest, ControlBytesInNamesShowEscaped) {
    testutil::TempDir dir;
    DiskImage disk;
    disk.Format(1);
    disk.SetCurrentDir(-1);
    ASSERT_GT(testdisk::AddSubdir(disk, "TWO\nLINES"), 0);
    ASSERT_EQ(testdisk::AddRawEntry(disk, "TAB\tDEL\x7F\x1B[2J", 0x01, testdisk::Pattern(10)), 0);
    SaveDiskFile(disk, dir.path() / "ctl.d88");
    ASSERT_NE(OpenFile(dir.path() / "ctl.d88"), nullptr);
    // One row each, one line tall.
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"root", "  TWO\\x0ALINES"}));
    const auto rows = FileRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(ListRows().size(), 2u);
    EXPECT_EQ(ListRows()[0][0], "TWO\\x0ALINES");
    EXPECT_EQ(rows[0][0], "TAB\\x09DEL\\x7F\\x1B[2J");
}

TEST_F(GuiTest, NewDiskOfEachTypeSavesTheFormattedDisk) {
    testutil::TempDir dir;
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(type));
        ASSERT_TRUE(Doc()->IsLoaded());
        EXPECT_EQ(Title(), "*無題 - Darvex"); // exists only in memory so far
        EXPECT_EQ(TreeTexts(), std::vector<std::string>{"root"});
        EXPECT_TRUE(ListRows().empty());
        EXPECT_TRUE(Doc()->IsModified());

        // Typed without an extension: the file gets ".d88".
        const fs::path path = dir.path() / ("new" + std::to_string(type) + ".d88");
        wxTEST_DIALOG(Command(wxID_SAVEAS), ExpectFileDialog(path.parent_path() / path.stem()));
        EXPECT_FALSE(Doc()->IsModified());
        EXPECT_EQ(Title(), path.filename().string() + " - Darvex");
        EXPECT_EQ(testutil::ReadFileBytes(path), FormattedD88(type));
        if (type == 1) {
            EXPECT_EQ(SpaceText(), "12288/327680");
        }

        ASSERT_NE(OpenFile(path), nullptr);
        EXPECT_TRUE(Doc()->IsLoaded());
        EXPECT_EQ(TreeTexts(), std::vector<std::string>{"root"});
    }
}

TEST_F(GuiTest, NewDiskCancelKeepsTheOpenDisk) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "keep.d88");
    ASSERT_NE(OpenFile(image), nullptr);
    CDarvexDoc* before = Doc();
    const auto rows = ListRows();
    const std::string space = SpaceText();

    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(2, wxID_CANCEL));

    EXPECT_EQ(Doc(), before);
    EXPECT_TRUE(Doc()->IsLoaded());
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"root", "  SUB"}));
    EXPECT_EQ(Title(), "keep.d88 - Darvex");
    EXPECT_EQ(SpaceText(), space);
}

TEST_F(GuiTest, SavePromptAnswers) {
    testutil::TempDir dir;
    const std::string prompt = Printf("ディスクイメージ「%s」への変更を保存しますか?", "無題");

    // Cancel: the New stops and the unsaved disk stays.
    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(1));
    CDarvexDoc* unsaved = Doc();
    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(3),
                  ExpectMessage(prompt, "Darvex", wxID_CANCEL));
    EXPECT_EQ(Doc(), unsaved);
    EXPECT_TRUE(Doc()->IsModified());

    // No: discarded, the new disk is type 3.
    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(3), ExpectMessage(prompt, "Darvex", wxID_NO));
    ASSERT_NE(Doc(), nullptr);
    EXPECT_EQ(Doc()->GetDisk().Image().u8(0), 0xBF); // type 3's boot area

    // Yes: saved first (Save As, as it has no name yet), then the other file opens.
    const fs::path saved = dir.path() / "saved.d88";
    const fs::path other = WriteSampleDisk(dir.path(), "other.d88");
    wxTEST_DIALOG(OpenFile(other), ExpectMessage(prompt, "Darvex", wxID_YES),
                  ExpectFileDialog(saved));
    EXPECT_EQ(testutil::ReadFileBytes(saved), FormattedD88(3));
    EXPECT_EQ(Title(), "other.d88 - Darvex");

    // An unmodified document asks nothing.
    wxTEST_DIALOG(Command(wxID_NEW), ExpectNewDisk(0));
    EXPECT_TRUE(Doc()->IsModified());

    // Exit asks too; Cancel keeps the program running with the disk.
    wxTEST_DIALOG(Command(wxID_EXIT), ExpectMessage(prompt, "Darvex", wxID_CANCEL));
    EXPECT_FALSE(Frame().IsBeingDeleted());
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(GuiTest, FailedSaveKeepsTheOldFileAndTheModifiedMark) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "full.d88");
    const auto original = testutil::ReadFileBytes(image);
    ASSERT_NE(OpenFile(image), nullptr);
    const int entry = ListView().GetListEntry(0);
    Doc()->ApplyChange(
        "Delete", [entry](DiskImage& disk) { return disk.RemoveFile(entry) == 0; },
        DocHint::EntriesChanged);
    ASSERT_TRUE(Doc()->IsModified());

    // A file size limit makes every write beyond a few bytes fail, even for root.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool failed = false;
    wxTEST_DIALOG(failed = !Doc()->Save(),
                  ExpectMessage(std::string("ディスクイメージを保存できませんでした.\n"), "エラー")
                      .StartingWith());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(failed);
    EXPECT_EQ(testutil::ReadFileBytes(image), original);
    EXPECT_TRUE(Doc()->IsModified());
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "full.d88") << "temporary file left behind";

    // The same save goes through once the disk has room again.
    EXPECT_TRUE(Doc()->Save());
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_NE(testutil::ReadFileBytes(image), original);
}

TEST_F(GuiTest, FileChangedOnDiskAsksBeforeOverwriting) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "shared.d88");
    ASSERT_NE(OpenFile(image), nullptr);
    Doc()->Modify(true);

    // Another program writes the file.
    const std::vector<unsigned char> theirs = FormattedD88(0);
    ASSERT_TRUE(testutil::WriteFileBytes(image, theirs));
    const std::string question = Printf(UiMessage(UiText::ChangedOnDisk).c_str(), "shared.d88");

    wxTEST_DIALOG(Doc()->Save(), ExpectMessage(question, "Darvex", wxID_NO));
    EXPECT_EQ(testutil::ReadFileBytes(image), theirs);
    EXPECT_TRUE(Doc()->IsModified());

    wxTEST_DIALOG(Doc()->Save(), ExpectMessage(question, "Darvex", wxID_YES));
    EXPECT_NE(testutil::ReadFileBytes(image), theirs);
    EXPECT_FALSE(Doc()->IsModified());

    // Our own save is no change by another program.
    Doc()->Modify(true);
    EXPECT_TRUE(Doc()->Save());
}

TEST_F(GuiTest, AChangeMadeWhileTheSaveWaitsForTheLockIsSeen) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "shared.d88");
    ASSERT_NE(OpenFile(image), nullptr);
    Doc()->Modify(true);
    const std::vector<unsigned char> theirs = FormattedD88(0);
    DiskImage theirDisk;
    theirDisk.Format(0);
    const std::string question = Printf(UiMessage(UiText::ChangedOnDisk).c_str(), "shared.d88");

    // Another writer holds the lock and saves only once the document's save has opened the
    // file and waits for the lock: after any look at the file made before taking the lock.
    ImageFileSession other;
    ASSERT_TRUE(other.Open(image.string()).Ok());
    std::thread writer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (OpenCount(image) < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        other.Save(theirDisk); // replaces the file and lets the lock go
    });
    wxTEST_DIALOG(Doc()->Save(), ExpectMessage(question, "Darvex", wxID_NO));
    writer.join();
    EXPECT_EQ(testutil::ReadFileBytes(image), theirs);
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(GuiTest, AReadOnlyImageIsRefusedBySaveAndWrittenBySaveAs) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "ro.d88");
    ASSERT_NE(OpenFile(image), nullptr);
    Doc()->Modify(true);
    ASSERT_EQ(chmod(image.c_str(), 0444), 0);
    const std::string refusal =
        UiMessage(ImageFileError::ReadOnly) + "\n(" + CliMessage(ImageFileError::ReadOnly) + ")";
    wxTEST_DIALOG(EXPECT_FALSE(Doc()->Save()), ExpectMessage(refusal, "エラー"));
    EXPECT_TRUE(Doc()->IsModified());
    // Save As onto the same file: the user named it there.
    const auto before = fs::last_write_time(image);
    wxTEST_DIALOG(Command(wxID_SAVEAS), ExpectFileDialog(image));
    EXPECT_NE(fs::last_write_time(image), before);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(fs::status(image).permissions(), fs::perms(0444));
}

TEST_F(GuiTest, OpenMessagesAndReadOnlyDisks) {
    testutil::TempDir dir;
    // Not a D88 container: a message, and the empty start-up document stays.
    const fs::path junk = dir.path() / "junk.D88";
    ASSERT_TRUE(testutil::WriteFileBytes(junk, std::vector<unsigned char>(100, 'x')));
    CDarvexDoc* empty = Doc();
    wxTEST_DIALOG(EXPECT_EQ(OpenFile(junk), nullptr), ExpectMessage(kNotD88, "エラー"));
    EXPECT_EQ(Doc(), empty);
    EXPECT_FALSE(Doc()->IsLoaded());
    EXPECT_EQ(Title(), "無題 - Darvex");
    EXPECT_FALSE(IsEnabled(ID_EXTRACT_FILE));
    EXPECT_TRUE(TreeTexts().empty());

    // File > Open offers "*.d88" and every file; a ".d20" image opens like a ".d88".
    const fs::path d20 = WriteSampleDisk(dir.path(), "a.d20");
    wxTEST_DIALOG(Command(wxID_OPEN),
                  ExpectFileDialog(d20, DarvexDocManager::OpenFilter().utf8_string()));
    EXPECT_EQ(Title(), "a.d20 - Darvex");
    ASSERT_TRUE(Doc()->IsLoaded());
    CDarvexDoc* open = Doc();
    const auto rows = ListRows();
    const std::string space = SpaceText();

    // Files that are no disk image never close the open disk, whichever way they come: a
    // message says why, once, and nothing else changes.
    std::mt19937 random(16);
    std::vector<unsigned char> noise(5 * 1024);
    for (auto& b : noise)
        b = static_cast<unsigned char>(random());
    ASSERT_TRUE(testutil::WriteFileBytes(dir.path() / "random.d88", noise));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.path() / "hello.bas", {'1', '0', ' ', 'E', 'N', 'D'}));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.path() / "tape.mzt", std::vector<unsigned char>(200)));
    const fs::path notDisks[] = {dir.path() / "random.d88", dir.path() / "hello.bas"};
    for (const fs::path& path : notDisks) {
        SCOPED_TRACE(path.filename().string());
        wxTEST_DIALOG(EXPECT_EQ(OpenFile(path), nullptr), ExpectMessage(kNotD88, "エラー"));
        wxTEST_DIALOG(Command(wxID_OPEN), ExpectFileDialog(path), ExpectMessage(kNotD88, "エラー"));
    }
    wxArrayString dropped;
    dropped.push_back(wxString::FromUTF8((dir.path() / "tape.mzt").string()));
    wxTEST_DIALOG(Frame().OpenDroppedFiles(dropped), ExpectMessage(kNotD88, "エラー"));
    EXPECT_EQ(Doc(), open);
    EXPECT_TRUE(Doc()->IsLoaded());
    EXPECT_EQ(Title(), "a.d20 - Darvex");
    EXPECT_EQ(ListRows(), rows);
    EXPECT_EQ(SpaceText(), space);
    for (size_t i = 0; i < Manager().GetHistoryFilesCount(); ++i)
        EXPECT_FALSE(Manager().GetHistoryFile(i).StartsWith(dir.path().string() + "/") &&
                     !Manager().GetHistoryFile(i).EndsWith("a.d20"))
            << Manager().GetHistoryFile(i);

    if (!testutil::HaveTestData())
        GTEST_SKIP() << "no test data";
    // Not an MZ file system: read only, extraction still possible.
    fs::copy_file(testutil::TestDataPath("x1/x1-hubasic-2d.d88"), dir.path() / "x1.d88");
    wxTEST_DIALOG(OpenFile(dir.path() / "x1.d88"), ExpectMessage(kReadOnly, "Darvex"),
                  ExpectMessage(kLossOnSave, "Darvex").Optional());
    EXPECT_TRUE(Doc()->IsLoaded());
    // Its directory sectors hold no entries: nothing is listed, and the tree's root and the
    // usage pane say why.
    const std::string noMz = UiMessage(UiText::NoMzFileSystem);
    EXPECT_TRUE(ListRows().empty());
    EXPECT_EQ(TreeTexts(), std::vector<std::string>{noMz});
    EXPECT_EQ(SpaceText(), noMz);
    EXPECT_TRUE(IsEnabled(ID_EXTRACT_FILE));
    EXPECT_TRUE(IsEnabled(ID_EXTRACT_BOOT));
    for (int id : std::initializer_list<int>{ID_ADD_FILE, ID_DELETE_FILE, ID_REGISTER_BOOT,
                                             wxID_SAVE, wxID_SAVEAS})
        EXPECT_FALSE(IsEnabled(id)) << id;

    // Sector information a save would normalise.
    fs::copy_file(testutil::TestDataPath("ipls/ipls-2d.d88"), dir.path() / "ipls.d88");
    wxTEST_DIALOG(OpenFile(dir.path() / "ipls.d88"), ExpectMessage(kLossOnSave, "Darvex"));
    EXPECT_TRUE(IsEnabled(wxID_SAVE));
    // A disk that saves back as it was says nothing.
    fs::copy_file(testutil::TestDataPath("ipls/ipls-2dd.d88"), dir.path() / "ipls2dd.d88");
    EXPECT_NE(OpenFile(dir.path() / "ipls2dd.d88"), nullptr);
    // Sectors a save would drop are named: the last track's second record says R = 1 too.
    auto dup = testutil::ReadFileBytes(dir.path() / "ipls2dd.d88");
    dup.at(688 + 159 * 16 * 272 + 272 + 2) = 1;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.path() / "dup.d88", dup));
    wxTEST_DIALOG(OpenFile(dir.path() / "dup.d88"),
                  ExpectMessage(std::string(kLossOnSave) +
                                    "\n同じセクタ ID のレコード 1 個: 後のものだけが残ります.",
                                "Darvex"));
}

TEST_F(GuiTest, OpenFiltersMatchBothCasesAndNameTheD20Type) {
    // Description and patterns in pairs; the last pair shows every file.
    const wxArrayString parts = wxSplit(DarvexDocManager::OpenFilter(), '|');
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_TRUE(parts[2].Contains("*.d20"));
    const auto imageFilterMatches = [&](const wxString& name) {
        for (size_t i = 1; i + 2 < parts.size(); i += 2)
            for (const wxString& pattern : wxSplit(parts[i], ';'))
                if (wxMatchWild(pattern, name))
                    return true;
        return false;
    };
    for (const char* name : {"a.d88", "UPPER.D88", "b.d20", "LOUD.D20"})
        EXPECT_TRUE(imageFilterMatches(name)) << name;
    for (const char* name : {"notes.txt", "tape.mzt", "d88"})
        EXPECT_FALSE(imageFilterMatches(name)) << name;
}

TEST_F(GuiTest, RecentFilesTakeThePlaceholdersPlace) {
    testutil::TempDir dir;
    wxMenu* file = Frame().GetMenuBar()->GetMenu(0);
    const auto indexOf = [file](int id) {
        size_t index = 0;
        for (wxMenuItem* item : file->GetMenuItems()) {
            if (item->GetId() == id)
                return static_cast<int>(index);
            ++index;
        }
        return -1;
    };
    const int place = indexOf(wxID_FILE1);
    ASSERT_GT(place, 0);
    for (int i = 0; i < 6; ++i)
        ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "r" + std::to_string(i) + ".d88")), nullptr);
    EXPECT_EQ(indexOf(wxID_FILE1), place);
    EXPECT_EQ(Manager().GetHistoryFilesCount(), 4u);
    EXPECT_EQ(indexOf(wxID_FILE1 + 3), place + 3);
    EXPECT_EQ(indexOf(wxID_FILE1 + 4), -1);
    EXPECT_EQ(file->FindItem(wxID_FILE1)->GetItemLabel().utf8_string().substr(0, 3), "&1 ");
    EXPECT_TRUE(file->FindItem(wxID_FILE1 + 3)->GetItemLabelText().EndsWith("r2.d88"));
    // The separator and Exit follow the list.
    EXPECT_TRUE(file->FindItemByPosition(place + 4)->IsSeparator());
    EXPECT_EQ(file->FindItemByPosition(place + 5)->GetId(), wxID_EXIT);
}

TEST_F(GuiTest, RecentFilesAreStoredAndReadBack) {
    testutil::TempDir dir;
    std::vector<wxString> opened;
    for (int i = 0; i < 3; ++i) {
        const fs::path path = WriteSampleDisk(dir.path(), "k" + std::to_string(i) + ".d88");
        ASSERT_NE(OpenFile(path), nullptr);
        opened.push_back(wxString::FromUTF8(path.string()));
    }
    wxStringInputStream nothing(wxString{});
    wxFileConfig config(nothing); // in memory only
    Manager().FileHistorySave(config);
    EXPECT_EQ(config.Read("/Recent File List/File1"), opened[2]);
    EXPECT_EQ(config.Read("/Recent File List/File3"), opened[0]);

    RecentFiles restored;
    restored.Load(config);
    ASSERT_EQ(restored.GetCount(), Manager().GetHistoryFilesCount());
    for (size_t i = 0; i < restored.GetCount(); ++i)
        EXPECT_EQ(restored.GetHistoryFile(i), Manager().GetHistoryFile(i)) << i;
}

TEST_F(GuiTest, RecentFilesAreAbsoluteAndAGoneOneLeavesWithOurMessage) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "x.d88");
    fs::create_directories(dir.path() / "other");
    const fs::path before = fs::current_path();
    // `cd DIR && darvex ./other/../x.d88`: the list holds where the file is.
    fs::current_path(dir.path());
    const bool opened = OpenFile("./other/../x.d88") != nullptr;
    fs::current_path(before);
    ASSERT_TRUE(opened);
    EXPECT_EQ(Manager().GetHistoryFile(0), wxString::FromUTF8(image.string()));

    // Started elsewhere, the entry still opens the file.
    ResetToStart();
    Command(wxID_FILE1);
    EXPECT_EQ(Title(), "x.d88 - Darvex");

    // Gone: our own message, in the program's language, and the entry leaves the list.
    ResetToStart();
    const size_t count = Manager().GetHistoryFilesCount();
    fs::remove(image);
    const std::string gone = Printf(UiMessage(UiText::RecentFileGone).c_str(), image.string());
    wxTEST_DIALOG(Command(wxID_FILE1), ExpectMessage(gone, "エラー"));
    EXPECT_EQ(Manager().GetHistoryFilesCount(), count - 1);
    EXPECT_EQ(Title(), "無題 - Darvex");
}

TEST_F(GuiTest, ArrowKeysInTheTreeListDirectoriesAsClicksDo) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "keys.d88");
    ASSERT_NE(OpenFile(image), nullptr);
    wxTreeCtrl* tree = Frame().GetTreeCtrl();
    tree->ExpandAll();
    tree->SelectItem(TreeView().GetTreeItem(0));
    tree->SetFocus();
    Settle(50);

    wxUIActionSimulator keys;
    keys.Char(WXK_DOWN);
    Settle(100);
    EXPECT_EQ(tree->GetSelection(), TreeView().GetTreeItem(1));
    EXPECT_EQ(ListRows(), CliRows(image, "SUB"));
    keys.Char(WXK_UP);
    Settle(100);
    EXPECT_EQ(FileRows(), CliRows(image));
    EXPECT_EQ(Doc()->GetDisk().GetCurrentDir(), 16);
}

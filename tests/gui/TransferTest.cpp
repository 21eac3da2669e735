// Drag and drop and the clipboard, driven through the panes' drop targets and the data objects
// as a file manager or another window of the program would use them.
#include <csignal>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <wx/clipbrd.h>
#include <wx/listctrl.h>
#include <wx/timer.h>
#include <wx/treectrl.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/AddFileDlg.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "doc/DialogIds.h"
#include "doc/ExtractDlg.h"
#include "doc/TransferData.h"
#include "gui/DialogExpect.h"
#include "gui/DlgTestSupport.h"
#include "host/TransferFolder.h"
#include "host/UriList.h"
#include "support/TestDisk.h"
#include "ui/DarvexView.h"
#include "ui/EntryDropTarget.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"

using namespace guitest;
using namespace dlgtest;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDeleteQuestion =
    "選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n";

// A file manager's drop of paths on the list; the dialogs it opens run in Settle.
void DropFiles(const std::vector<std::string>& paths, bool shift = false) {
    auto& target = *static_cast<CEntryDropTarget*>(Frame().GetListCtrl()->GetDropTarget());
    const std::string list = UriList::FromPaths(paths);
    ASSERT_TRUE(target.Data().SetData(CTransferData::UriListFormat(), list.size(), list.data()));
    EXPECT_EQ(target.Received(4, 4, shift), wxDragCopy);
    Settle();
}

// The middle of a node's label in the tree's own coordinates.
wxPoint TreeNodeCentre(const char* text) {
    wxTreeCtrl* tree = Frame().GetTreeCtrl();
    tree->ExpandAll();
    Settle(100); // the tree lays its items out when it paints
    wxRect rect;
    for (int n = 0; n < TreeView().GetTreeCount(); ++n)
        if (tree->GetItemText(TreeView().GetTreeItem(n)) == text) {
            EXPECT_TRUE(tree->GetBoundingRect(TreeView().GetTreeItem(n), rect, true));
        }
    return {rect.x + 4, rect.y + rect.height / 2};
}

// Selects the rows showing these names in the list, the pane active.
void SelectNamed(const std::vector<std::string>& names) {
    wxListCtrl* list = Frame().GetListCtrl();
    const auto rows = ListRows();
    for (long r = 0; r < list->GetItemCount(); ++r) {
        const bool on = std::find(names.begin(), names.end(), rows[r][0]) != names.end();
        list->SetItemState(r, on ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
    ListView().Activate(true);
}

// The entries `darvex-cli ls --json` lists, by name, without their start sector.
std::map<std::string, nlohmann::json> CliEntries(const fs::path& image,
                                                 const std::string& dir = "") {
    std::vector<std::string> args = {"ls", image.string(), "--json"};
    if (!dir.empty())
        args.push_back(dir);
    std::map<std::string, nlohmann::json> out;
    for (nlohmann::json row : nlohmann::json::parse(RunCli(args))) {
        row.erase("start_sector");
        row.erase("index");
        row["columns"].erase(7); // the start sector's column
        out[row["name"]] = row;
    }
    return out;
}

Bytes CliGet(const fs::path& image, const std::string& name, const char* form = "--bin",
             const std::string& dir = "") {
    const fs::path out = WorkDir() / "cli-get.out";
    fs::remove(out);
    std::vector<std::string> args = {"get", image.string(), name, out.string(), form};
    if (!dir.empty())
        args.insert(args.end(), {"--dir", dir});
    RunCli(args);
    return ReadFileBytes(out);
}

// Another program's copy; the watch asks again as when the window is activated afterwards.
void PutOnClipboard(wxDataObject* data) {
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(wxTheClipboard->SetData(data));
    }
    Manager().Clipboard().Refresh();
    Settle(100);
}

// Waits for the clipboard watch's answer (it arrives through the event loop).
bool PasteEnabledSoon() {
    for (int i = 0; i < 20 && !IsEnabled(wxID_PASTE); ++i)
        Settle(50);
    return IsEnabled(wxID_PASTE);
}

class TransferTest : public GuiTest {
protected:
    // A type-1 disk with an OBJ, a BSD and a BRD file whose entries carry an attribute, a date
    // and addresses, saved as `name` and opened.
    fs::path OpenRichDisk(const std::string& name) {
        DiskImage disk;
        disk.Format(1);
        const struct {
            const char* name;
            int storage;
            std::size_t bytes;
        } files[] = {{"PROG", 1, 700}, {"TEXT", 3, 600}, {"DATA", 4, 5000}};
        for (const auto& f : files) {
            EXPECT_EQ(testdisk::PutFile(disk, f.name, Pattern(f.bytes, f.storage), f.storage), 0);
            const int index = testdisk::FindEntry(disk, f.name);
            DirEntry entry = testdisk::EntryAt(disk, index);
            entry.SetAttribute(0x01);
            entry.SetDate(0x12345678);
            testdisk::PutEntry(disk, kRootDirSector, index, entry);
        }
        return Save(disk, name);
    }
    fs::path OpenEmptyDisk(const std::string& name, int type = 0) {
        DiskImage disk;
        disk.Format(type);
        return Save(disk, name);
    }
    fs::path Save(const DiskImage& disk, const std::string& name) {
        const fs::path path = dir.path() / name;
        SaveDiskFile(disk, path);
        EXPECT_NE(OpenFile(path), nullptr);
        return path;
    }
    std::string Host(const std::string& name, const Bytes& bytes) {
        return HostFile(dir.path() / name, bytes);
    }
    testutil::TempDir dir;
};

TEST_F(TransferTest, DroppedFilesAddedWithOkForAll) {
    const fs::path image = OpenEmptyDisk("drop.d88");
    const Bytes tapeBody = Pattern(400, 7);
    const std::vector<std::string> paths = {
        Host("game.mzt", Tape(0x01, "GAME", 400, 0x1200, 0x1234, tapeBody)),
        Host("note.txt", {'1', '0', ' ', 'R', 'E', 'M', '\r'}), Host("data.bin", Pattern(900))};
    std::vector<bool> allOkShown;
    const auto proposal = [&](bool allOk) {
        return ExpectDialog<CAddFileDlg>([&, allOk](CAddFileDlg& d) {
            allOkShown.push_back(d.FindWindow(kIdAllOk)->IsShown());
            Click(d, allOk ? int(kIdAllOk) : int(wxID_OK));
            return d.GetReturnCode();
        });
    };
    // The first file with OK, the second with すべて OK: the third takes its proposal unseen.
    wxTEST_DIALOG(DropFiles(paths), proposal(false), proposal(true));
    EXPECT_EQ(allOkShown, (std::vector<bool>{true, true}));
    EXPECT_TRUE(Doc()->IsModified());
    Command(wxID_SAVE);

    const auto entries = CliEntries(image);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.at("GAME")["exec"], 0x1234);
    EXPECT_EQ(CliGet(image, "GAME"), tapeBody);
    EXPECT_EQ(CliGet(image, "note.txt"), ReadFileBytes(paths[1]));
    EXPECT_EQ(CliGet(image, "data.bin"), Pattern(900));

    // A file copied in a file manager is pasted as one dropped: one dialog, no すべて OK.
    const std::string copied = UriList::CopiedFilesFromPaths({Host("copied.bin", Pattern(30))});
    auto* data = new wxCustomDataObject(CTransferData::CopiedFilesFormat());
    data->SetData(copied.size(), copied.data());
    PutOnClipboard(data);
    ASSERT_TRUE(PasteEnabledSoon());
    wxTEST_DIALOG(Command(wxID_PASTE), proposal(false));
    EXPECT_EQ(allOkShown.back(), false);
    Command(wxID_SAVE);
    EXPECT_EQ(CliGet(image, "copied.bin"), Pattern(30));
}

TEST_F(TransferTest, DroppedImageOpensAndWithShiftIsAdded) {
    const fs::path other = WriteSampleDisk(dir.path(), "other.d88");
    const fs::path image = OpenEmptyDisk("first.d88");
    DropFiles({other.string()});
    ASSERT_NE(Doc(), nullptr);
    EXPECT_EQ(fs::path(Doc()->GetFilename().utf8_string()), other);

    ASSERT_NE(OpenFile(image), nullptr);
    wxTEST_DIALOG(DropFiles({other.string()}, true), ExpectDialog<CAddFileDlg>([](CAddFileDlg& d) {
                      Click(d, wxID_OK);
                      return d.GetReturnCode();
                  }));
    EXPECT_EQ(fs::path(Doc()->GetFilename().utf8_string()), image);
    Command(wxID_SAVE);
    // Stored as BRD: read back in whole blocks.
    Bytes got = CliGet(image, "other.d88");
    got.resize(fs::file_size(other));
    EXPECT_TRUE(got == ReadFileBytes(other));
}

TEST_F(TransferTest, RowsDraggedOutAreTheFilesGetWrites) {
    const fs::path image = OpenRichDisk("out.d88");
    Manager().Session().extractFormatShown = false; // as in a new run
    SelectNamed({"PROG", "TEXT", "DATA"});
    // The files a file manager finds: the formats offered, then the list's bytes.
    const auto offered = [] {
        const DiskTransfer::Offer offer = Doc()->OfferEntries(Doc()->SelectedEntries(), false);
        EXPECT_TRUE(offer.data);
        if (!offer.data)
            return std::vector<std::string>{};
        std::vector<wxDataFormat> formats(offer.data->GetFormatCount());
        offer.data->GetAllFormats(formats.data());
        EXPECT_EQ(formats, (std::vector<wxDataFormat>{CTransferData::PackFormat(),
                                                      CTransferData::UriListFormat()}));
        std::string list(offer.data->GetDataSize(CTransferData::UriListFormat()), '\0');
        EXPECT_TRUE(offer.data->GetDataHere(CTransferData::UriListFormat(), list.data()));
        const std::vector<std::string> paths = UriList::ToPaths(list);
        for (const std::string& path : paths)
            EXPECT_EQ(fs::path(path).parent_path(), fs::path(offer.folder));
        return paths;
    };

    // MZT until the extract dialog has been shown, then the format chosen there.
    std::vector<std::string> paths = offered();
    ASSERT_EQ(paths.size(), 3u);
    const fs::path runtime = std::getenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(fs::path(paths[0]).parent_path().parent_path().parent_path(), runtime / "darvex");
    for (const fs::path file : paths) {
        SCOPED_TRACE(file);
        EXPECT_EQ(file.extension(), ".mzt");
        EXPECT_EQ(ReadFileBytes(file), CliGet(image, file.stem().string(), "--mzt"));
    }
    wxTEST_DIALOG(Command(ID_EXTRACT_FILE), ExpectDialog<CExtractDlg>([](CExtractDlg& d) {
                      Choose(d, kIdFormat, 0);
                      Click(d, kIdAllOk);
                      return d.GetReturnCode();
                  }));
    const fs::path firstDrag = fs::path(paths[0]).parent_path();
    paths = offered();
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_FALSE(fs::exists(firstDrag)) << "the next drag's files take the place of the last";
    for (const fs::path file : paths) {
        SCOPED_TRACE(file);
        EXPECT_EQ(ReadFileBytes(file), CliGet(image, file.filename().string(), "--bin"));
    }
}

TEST_F(TransferTest, CopyAndPasteBetweenDisksKeepsTheEntries) {
    const fs::path from = OpenRichDisk("from.d88");
    SelectNamed({"PROG", "TEXT", "DATA"});
    Command(wxID_COPY);

    // Another disk (as another window would be): the pack arrives, not the exported files.
    const fs::path to = OpenEmptyDisk("to.d88", 3);
    ASSERT_TRUE(PasteEnabledSoon());
    Command(wxID_PASTE);
    EXPECT_TRUE(Doc()->IsModified());
    Command(wxID_SAVE);
    const auto want = CliEntries(from), got = CliEntries(to);
    EXPECT_EQ(got, want);
    EXPECT_EQ(want.at("PROG")["attribute"], 1);
    for (const char* name : {"PROG", "TEXT", "DATA"})
        EXPECT_EQ(CliGet(to, name), CliGet(from, name)) << name;
    EXPECT_EQ(RunCli({"check", to.string()}).rfind("0 errors, 0 warnings", 0), 0u);

    // Pasted again: the names are taken; each refusal names its file, the disk stays as it was.
    wxTEST_DIALOG(Command(wxID_PASTE),
                  ExpectMessage("ファイル「PROG」:\n", "エラー").StartingWith(),
                  ExpectMessage("ファイル「TEXT」:\n", "エラー").StartingWith(),
                  ExpectMessage("ファイル「DATA」:\n", "エラー").StartingWith());
    EXPECT_FALSE(Doc()->IsModified());
}

// Cut and Copy need selected rows, Paste something it takes on the clipboard.
TEST_F(TransferTest, CutDeletesAfterTheQuestionAndPasteBringsItBack) {
    PutOnClipboard(new wxTextDataObject("text is nothing to paste"));
    const fs::path image = OpenRichDisk("cut.d88");
    const auto entries = CliEntries(image);
    EXPECT_FALSE(IsEnabled(wxID_CUT) || IsEnabled(wxID_COPY) || IsEnabled(wxID_PASTE));
    SelectNamed({"TEXT"});
    EXPECT_TRUE(IsEnabled(wxID_CUT) && IsEnabled(wxID_COPY));
    EXPECT_FALSE(IsEnabled(wxID_PASTE));
    wxTEST_DIALOG(Command(wxID_CUT), ExpectMessage(kDeleteQuestion, "ファイル削除", wxID_CANCEL));
    EXPECT_EQ(ListRows().size(), 3u) << "nothing deleted without a yes";
    wxTEST_DIALOG(Command(wxID_CUT), ExpectMessage(kDeleteQuestion, "ファイル削除"));
    EXPECT_EQ(ListRows().size(), 2u);
    // The cut is one step: undo brings the file back, redo takes it away again.
    Command(wxID_UNDO);
    EXPECT_EQ(ListRows().size(), 3u);
    Command(wxID_REDO);
    EXPECT_EQ(ListRows().size(), 2u);
    EXPECT_FALSE(IsEnabled(wxID_CUT) || IsEnabled(wxID_COPY));
    ASSERT_TRUE(PasteEnabledSoon());
    Command(wxID_PASTE);
    Command(wxID_SAVE);
    EXPECT_EQ(CliEntries(image), entries);
}

// The folders a base holds besides the lock the instances share.
std::vector<fs::path> TransferFoldersIn(const fs::path& base) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base, ec))
        if (entry.path().filename() != "lock")
            found.push_back(entry.path());
    return found;
}

// A run killed while it had files handed out leaves its folder; the program's next start
// removes it.
TEST_F(TransferTest, AKilledRunsFolderGoesAtTheNextStart) {
    const fs::path runtime = dir.path() / "run";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const fs::path base = runtime / "darvex";
    const pid_t killed = fork();
    if (killed == 0) {
        TransferFolder folder(base.string());
        testutil::WriteFileBytes(folder.NewFolder() + "/PROG.mzt", {1, 2, 3});
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(killed, &status, 0), killed);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(TransferFoldersIn(base).size(), 1u);

    // The program started with that runtime folder (its settings and data are the run's own).
    const std::string command =
        "XDG_RUNTIME_DIR='" + runtime.string() + "' exec '" + DARVEX_PROGRAM_PATH + "'";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t next = 0;
    ASSERT_EQ(posix_spawn(&next, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ),
              0);
    for (int i = 0; i < 150 && !TransferFoldersIn(base).empty(); ++i)
        Settle(100);
    kill(next, SIGKILL);
    waitpid(next, &status, 0);
    EXPECT_EQ(TransferFoldersIn(base), std::vector<fs::path>{});
}

// The X server's pointer moved and pressed as a user's hand does (the XTEST extension, loaded
// at run time: the test needs no development files of it).
class FakePointer {
public:
    FakePointer()
        : m_x11(dlopen("libX11.so.6", RTLD_NOW)), m_xtst(dlopen("libXtst.so.6", RTLD_NOW)) {
        if (auto open = Symbol<void* (*)(const char*)>(m_x11, "XOpenDisplay"))
            m_display = open(nullptr);
    }
    ~FakePointer() {
        if (m_display)
            Symbol<int (*)(void*)>(m_x11, "XCloseDisplay")(m_display);
    }
    explicit operator bool() const { return m_display && m_xtst; }
    void MoveTo(wxPoint at) {
        Symbol<int (*)(void*, int, int, int, unsigned long)>(m_xtst, "XTestFakeMotionEvent")(
            m_display, -1, at.x, at.y, 0);
        Flush();
    }
    void Button1(bool down) {
        Symbol<int (*)(void*, unsigned, int, unsigned long)>(m_xtst, "XTestFakeButtonEvent")(
            m_display, 1, down, 0);
        Flush();
    }

private:
    template <class F> static F Symbol(void* lib, const char* name) {
        return lib ? reinterpret_cast<F>(dlsym(lib, name)) : nullptr;
    }
    void Flush() { Symbol<int (*)(void*)>(m_x11, "XFlush")(m_display); }
    void* m_x11;
    void* m_xtst;
    void* m_display = nullptr;
};

// A row dragged by the pointer from the list onto a node of the tree: the real drag source
// and drop target between two panes, as between two windows (the program's own pack). The
// screen is captured while the row is over the node.
TEST_F(TransferTest, DragScreenshot) {
    FakePointer pointer;
    if (!pointer)
        GTEST_SKIP() << "no XTEST extension";
    const fs::path image = WriteSampleDisk(dir.path(), "drag.d88");
    ASSERT_NE(OpenFile(image), nullptr);
    Frame().Raise();
    const wxPoint to = Frame().GetTreeCtrl()->ClientToScreen(TreeNodeCentre("SUB"));
    wxListCtrl* list = Frame().GetListCtrl();
    // The file's row: the sub-directory's own row comes first.
    const long prog = list->FindItem(-1, "PROG");
    ASSERT_GE(prog, 0);
    wxRect row;
    ASSERT_TRUE(list->GetItemRect(prog, row));
    const wxPoint from = list->ClientToScreen(wxPoint(row.x + 20, row.y + row.height / 2));

    // Each step runs on a timer, inside the drag's own event loop once it has begun.
    std::vector<std::function<void()>> steps = {[&] { pointer.MoveTo(from); },
                                                [&] { pointer.Button1(true); }};
    for (int i = 1; i <= 8; ++i)
        steps.push_back([&, i] { pointer.MoveTo(from + wxPoint(0, 3 * i)); });
    for (int i = 1; i <= 8; ++i)
        steps.push_back([&, i] { pointer.MoveTo(from + (to - from) * i / 8); });
    fs::path shot;
    steps.push_back([&] { shot = Screenshot("drag"); });
    steps.push_back([&] { pointer.Button1(false); });
    std::size_t next = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (next < steps.size())
            steps[next++]();
    });
    timer.Start(60);
    for (int i = 0; i < 200 && next < steps.size(); ++i)
        Settle(20);
    timer.Stop();
    pointer.Button1(false);
    Settle(300);
    ASSERT_EQ(next, steps.size()) << "the drag did not end";
    EXPECT_TRUE(ImageHasContent(shot));

    // The row arrived in SUB with its entry as it was.
    Command(wxID_SAVE);
    const auto root = CliEntries(image), inSub = CliEntries(image, "SUB");
    ASSERT_EQ(inSub.count("PROG"), 1u) << "the drop did not arrive";
    EXPECT_EQ(inSub.at("PROG"), root.at("PROG"));
    EXPECT_EQ(CliGet(image, "PROG", "--bin", "SUB"), CliGet(image, "PROG"));
}

// Outside a drop's event (whose nested event loop would keep the dialog from painting).
TEST_F(TransferTest, OkForAllScreenshot) {
    DiskImage disk;
    disk.Format(0);
    const std::vector<std::string> paths = {
        Host("サンプル.mzt", Tape(0x05, "SAMPLE", 300, 0x1200, 0, Pattern(300))),
        Host("two.bin", Pattern(20))};
    wxTEST_DIALOG(DiskTransfer::AddHostFiles(nullptr, disk, paths),
                  ExpectDialog<CAddFileDlg>([](CAddFileDlg& d) {
                      EXPECT_TRUE(SaveScreenshot(d, "add_file_ok_for_all"));
                      return wxID_CANCEL;
                  }),
                  ExpectDialog<CAddFileDlg>([](CAddFileDlg&) { return wxID_CANCEL; }));
}

} // namespace

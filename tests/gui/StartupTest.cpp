#include <algorithm>
#include <filesystem>
#include <fstream>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "ui/DarvexApp.h"
#include "ui/MainFrame.h"

using namespace guitest;

TEST_F(GuiTest, StartWithoutArgumentsShowsAnEmptyUntitledWindow) {
    EXPECT_EQ(Title(), "無題 - Darvex");
    EXPECT_TRUE(TreeTexts().empty());
    EXPECT_TRUE(ListRows().empty());
    EXPECT_EQ(Frame().GetListCtrl()->GetColumnCount(), 8);
    EXPECT_EQ(SpaceText(), "");
    ASSERT_NE(Doc(), nullptr);
    EXPECT_FALSE(Doc()->IsLoaded());

    struct Case {
        int id;
        bool enabled;
    };
    const Case cases[] = {
        {wxID_NEW, true},        {wxID_OPEN, true},          {wxID_SAVE, false},
        {wxID_SAVEAS, false},    {ID_EXTRACT_FILE, false},   {ID_ADD_FILE, false},
        {ID_DELETE_FILE, false}, {ID_EXTRACT_BOOT, false},   {ID_REGISTER_BOOT, false},
        {ID_FLAT_IMAGE, false},  {ID_EDIT_FILE_INFO, false}, {wxID_CUT, false},
        {wxID_COPY, false},      {wxID_PASTE, false},        {wxID_UNDO, false},
        {wxID_ABOUT, true},      {wxID_EXIT, true},          {ID_VIEW_DETAILS, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(IsEnabled(c.id), c.enabled);
    }
}

TEST_F(GuiTest, SeveralFilesOpenTheFirstAndStartOneWindowForEachOther) {
    namespace fs = std::filesystem;
    testutil::TempDir dir;
    // Stands for the program: notes the arguments each start gets.
    const fs::path log = dir.path() / "started.txt";
    const fs::path program = dir.path() / "darvex";
    std::ofstream(program) << "#!/bin/sh\necho \"$*\" >> '" << log.string() << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    CDarvexApp::SetProgramPath(program.string());

    CommandLine cl;
    cl.files = {WriteSampleDisk(dir.path(), "a.d88").string(), "-b.d88", "c d.d20"};
    EXPECT_TRUE(App().ProcessShellCommand(cl));
    CDarvexApp::SetProgramPath({});
    EXPECT_EQ(Title(), "a.d88 - Darvex");
    std::vector<std::string> started;
    for (int i = 0; i < 200 && started.size() < 2; ++i) {
        Settle(10);
        started.clear();
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);)
            started.push_back(line);
    }
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (std::vector<std::string>{"-- -b.d88", "-- c d.d20"}));
}

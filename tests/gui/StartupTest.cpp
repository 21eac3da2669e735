#include <filesystem>
#include <fstream>

#include "GuiTestSupport.h"
#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
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

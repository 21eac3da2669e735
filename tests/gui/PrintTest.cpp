// Printing shows what is on screen: the file list as a table under the disk's heading, or the
// viewer's listing, with the page number in every footer; the preview shows the same pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/print.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "ViewerTestDisk.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "doc/DocText.h"
#include "ui/FileViewerFrame.h"
#include "ui/MainFrame.h"
#include "ui/TablePrintout.h"

using namespace guitest;
namespace fs = std::filesystem;

namespace {

// Page `page` as the preview renders it: an A4 page of a 600 dpi printer drawn into a white
// bitmap of 420 x 594 pixels.
wxImage RenderPage(wxPrintout& printout, int page) {
    wxBitmap bitmap(420, 594);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    printout.SetDC(&dc);
    printout.SetPPIScreen(96, 96);
    printout.SetPPIPrinter(600, 600);
    printout.SetPageSizePixels(4960, 7016);
    printout.SetPageSizeMM(210, 297);
    printout.OnPreparePrinting();
    EXPECT_TRUE(printout.OnPrintPage(page));
    printout.SetDC(nullptr);
    dc.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

// Dark pixels between the heights top and bottom, given as parts of the image's height.
int DarkPixels(const wxImage& image, double top, double bottom, double left = 0, double right = 1) {
    int dark = 0;
    for (int y = static_cast<int>(top * image.GetHeight());
         y < static_cast<int>(bottom * image.GetHeight()); ++y)
        for (int x = static_cast<int>(left * image.GetWidth());
             x < static_cast<int>(right * image.GetWidth()); ++x)
            dark += image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 3 * 128;
    return dark;
}

// What `darvex -p IMAGE` prints: the root listing of the image, as the list shows it, under
// the image's name, the disk name, the directory and the usage.
TEST_F(GuiTest, ListPrintsAsTheTableTheListShows) {
    testutil::TempDir dir;
    const fs::path image = WriteSampleDisk(dir.path(), "print.d88");
    ASSERT_TRUE(StartWith(image));
    std::unique_ptr<wxPrintout> printout(Manager().GetAnyUsableView()->OnCreatePrintout());
    auto* table = dynamic_cast<CTablePrintout*>(printout.get());
    ASSERT_NE(table, nullptr);
    const PrintTable& t = table->GetTable();
    EXPECT_EQ(t.heading, (std::vector<wxString>{
                             wxString::FromUTF8(image.string()),
                             wxString::Format(Tr("Disk name: %s"), ""),
                             wxString::Format(Tr("Directory: %s"), "root"),
                             wxString::Format(Tr("Used: %s bytes"), SpaceText()),
                         }));
    ASSERT_EQ(t.columns.size(), 8u);
    ASSERT_EQ(t.rows.size(), ListRows().size());
    EXPECT_EQ(t.rows.back().front().utf8_string(), ListRows().back().front());

    // Heading and rows at the top, the page number at the bottom, nothing in between.
    const wxImage page = RenderPage(*printout, 1);
    EXPECT_EQ(table->GetPageCount(), 1);
    EXPECT_GT(DarkPixels(page, 0.04, 0.12), 0);
    EXPECT_GT(DarkPixels(page, 0.12, 0.20), 0);
    EXPECT_EQ(DarkPixels(page, 0.30, 0.85), 0);
    EXPECT_GT(DarkPixels(page, 0.90, 0.96), 0);
}

// Rows run on to further pages, none lost or printed twice; a listing line wider than the
// page goes on in the next printed line.
TEST(TablePrintoutTest, RowsAndLinesRunOn) {
    PrintTable table;
    table.columns = {"A", "B"};
    std::vector<int> pages;
    for (int rows : {0, 1, 500, 1000}) {
        table.rows.assign(rows, {"cell", "cell"});
        CTablePrintout printout(table);
        EXPECT_GT(DarkPixels(RenderPage(printout, printout.GetPageCount()), 0.04, 0.20), 0);
        EXPECT_FALSE(printout.HasPage(printout.GetPageCount() + 1));
        pages.push_back(printout.GetPageCount());
    }
    EXPECT_EQ(pages[0], 1);
    EXPECT_EQ(pages[1], 1);
    EXPECT_GT(pages[2], 1);
    EXPECT_GE(pages[3], 2 * pages[2] - 1);
    EXPECT_LE(pages[3], 2 * pages[2]);

    const wxString longLine = wxString('7', 400) + "日本語" + wxString('x', 300);
    CTablePrintout listing(PrintTable{"", {"LISTING"}, {}, {{"10 PRINT"}, {longLine}}});
    RenderPage(listing, 1);
    const auto& printed = listing.GetPrintedRows();
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0], std::vector<wxString>{"10 PRINT"});
    EXPECT_GT(printed[1].size(), 2u);
    wxString joined;
    for (const wxString& part : printed[1])
        joined += part;
    EXPECT_EQ(joined, longLine);
}

// The viewer prints its shown tab, headed by its title.
TEST_F(GuiTest, ViewerPrintsItsListing) {
    DARVEX_REQUIRE_TESTDATA();
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteViewerDisk(dir.path())), nullptr);
    CFileViewerFrame* viewer = OpenViewer("HELLOWORLD");
    ASSERT_NE(viewer, nullptr);
    const PrintTable table = viewer->MakePrintTable();
    EXPECT_EQ(table.heading.front(), viewer->GetTitle());
    ASSERT_EQ(table.rows.size(), 5u);
    EXPECT_EQ(table.rows[4], std::vector<wxString>{"50 END"});
}

// The main window's preview of the list, as the user sees it: the page shows text.
TEST_F(GuiTest, PrintPreviewScreenshot) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "サンプル.d88")), nullptr);
    Command(wxID_PREVIEW);
    Settle(50);
    auto* preview = dynamic_cast<wxPreviewFrame*>(wxTopLevelWindows.GetLast()->GetData());
    ASSERT_NE(preview, nullptr);
    // On the screen as a whole (what lies off it is black in the screenshot), the whole page.
    preview->SetSize(wxRect(wxPoint(0, 0), preview->FromDIP(wxSize(700, 700)))
                         .Intersect(wxGetClientDisplayRect()));
    preview->GetControlBar()->GetPrintPreview()->SetZoom(50);
    // The new size and the page are painted before the capture.
    Settle(200);
    preview->Update();
    wxImage image;
    ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(Screenshot("print-preview", preview).string()),
                               wxBITMAP_TYPE_PNG));
    // Text on the page, below the control bar and inside the page's columns (not what lies
    // beside the frame).
    EXPECT_GT(DarkPixels(image, 0.15, 0.5, 0.25, 0.75), 0);
    preview->Close(true);
    Settle(20);
}

} // namespace

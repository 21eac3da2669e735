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
int DarkPixels(const wxImage& image, double top, double bottom) {
    int dark = 0;
    for (int y = static_cast<int>(top * image.GetHeight());
         y < static_cast<int>(bottom * image.GetHeight()); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            dark += image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 3 * 128;
    return dark;
}

PrintTable Listing(const std::vector<wxString>& lines) {
    PrintTable table;
    table.heading = {"LISTING"};
    for (const wxString& line : lines)
        table.rows.push_back({line});
    return table;
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
    wxListItem column;
    column.SetMask(wxLIST_MASK_TEXT);
    Frame().GetListCtrl()->GetColumn(7, column);
    EXPECT_EQ(t.columns[7], column.GetText());
    std::vector<std::vector<std::string>> rows;
    for (const std::vector<wxString>& row : t.rows) {
        rows.emplace_back();
        for (const wxString& cell : row)
            rows.back().push_back(cell.utf8_string());
    }
    EXPECT_EQ(rows, ListRows());

    // Heading and rows at the top, the page number at the bottom, nothing in between.
    const wxImage page = RenderPage(*printout, 1);
    EXPECT_EQ(table->GetPageCount(), 1);
    EXPECT_GT(DarkPixels(page, 0.04, 0.12), 0);
    EXPECT_GT(DarkPixels(page, 0.12, 0.20), 0);
    EXPECT_EQ(DarkPixels(page, 0.30, 0.85), 0);
    EXPECT_GT(DarkPixels(page, 0.90, 0.96), 0);
}

TEST(TablePrintoutTest, RowsRunOnToFurtherPages) {
    PrintTable table;
    table.columns = {"A", "B"};
    const auto pages = [&table](int rows) {
        table.rows.assign(rows, {"cell", "cell"});
        CTablePrintout printout(table);
        const wxImage last = RenderPage(printout, printout.GetPageCount());
        if (rows > 0) {
            EXPECT_GT(DarkPixels(last, 0.07, 0.20), 0) << rows << " rows";
        }
        EXPECT_TRUE(printout.HasPage(printout.GetPageCount()));
        EXPECT_FALSE(printout.HasPage(printout.GetPageCount() + 1));
        return printout.GetPageCount();
    };
    EXPECT_EQ(pages(0), 1);
    EXPECT_EQ(pages(1), 1);
    const int fivehundred = pages(500);
    EXPECT_GT(fivehundred, 1);
    const int thousand = pages(1000);
    EXPECT_GE(thousand, 2 * fivehundred - 1);
    EXPECT_LE(thousand, 2 * fivehundred);
}

// A listing line wider than the page goes on in the next printed line, none of it lost.
TEST(TablePrintoutTest, LongListingLinesAreCarriedOn) {
    const wxString longLine = wxString('7', 400) + "日本語" + wxString('x', 300);
    CTablePrintout printout(Listing({"10 PRINT", longLine, ""}));
    RenderPage(printout, 1);
    const auto& printed = printout.GetPrintedRows();
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[0], std::vector<wxString>{"10 PRINT"});
    EXPECT_GT(printed[1].size(), 2u);
    wxString joined;
    for (const wxString& part : printed[1]) {
        EXPECT_FALSE(part.empty());
        joined += part;
    }
    EXPECT_EQ(joined, longLine);
    EXPECT_EQ(printed[2], std::vector<wxString>{""});
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
    EXPECT_TRUE(table.columns.empty());
    ASSERT_EQ(table.rows.size(), 5u);
    EXPECT_EQ(table.rows[4], std::vector<wxString>{"50 END"});
    CTablePrintout printout(table);
    EXPECT_GT(DarkPixels(RenderPage(printout, 1), 0.04, 0.20), 0);

    // Its preview is a window of its own, over the viewer.
    wxCommandEvent preview(wxEVT_MENU, wxID_PREVIEW);
    viewer->ProcessWindowEvent(preview);
    Settle(50);
    wxPreviewFrame* shown = nullptr;
    for (wxWindow* top : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<wxPreviewFrame*>(top); frame && !frame->IsBeingDeleted())
            shown = frame;
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetParent(), viewer);
    shown->Close(true);
    Settle(20);
}

// The main window's preview of the list, as the user sees it: the page shows text.
TEST_F(GuiTest, PrintPreviewScreenshot) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "サンプル.d88")), nullptr);
    Command(wxID_PREVIEW);
    Settle(50);
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* top : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<wxPreviewFrame*>(top); frame && !frame->IsBeingDeleted())
            preview = frame;
    ASSERT_NE(preview, nullptr);
    // On the screen as a whole: what lies off it is black in the screenshot.
    preview->SetSize(wxRect(wxPoint(0, 0), preview->FromDIP(wxSize(700, 700)))
                         .Intersect(wxGetClientDisplayRect()));
    // The whole page, its footer too.
    preview->GetControlBar()->GetPrintPreview()->SetZoom(50);
    const fs::path shot = Screenshot("print-preview", preview);
    wxImage image;
    ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(shot.string()), wxBITMAP_TYPE_PNG));
    // Text on the page, below the control bar.
    EXPECT_GT(DarkPixels(image, 0.15, 0.5), 0);
    preview->Close(true);
    Settle(20);
}

} // namespace

#include "gui/DialogExpect.h"

#include <algorithm>

#include <wx/stattext.h>

#include "GuiTestSupport.h"
#include "doc/AddFileDlg.h"
#include "doc/BootExtractDlg.h"
#include "doc/BootRegisterDlg.h"
#include "doc/DiskInfoDlg.h"
#include "doc/DocText.h"
#include "doc/ExtractDlg.h"
#include "doc/FileInfoDlg.h"
#include "fs/EntryEdit.h"
#include "support/TestDisk.h"
#include "ui/AboutDlg.h"
#include "ui/MainFrame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/textctrl.h>

namespace {
wxWindow* Control(wxDialog& dlg, int id) {
    wxWindow* w = dlg.FindWindow(id);
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
}
} // namespace

void Click(wxDialog& dlg, int id) {
    wxWindow* button = Control(dlg, id);
    if (!button)
        return;
    wxCommandEvent ev(wxEVT_BUTTON, id);
    ev.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(ev);
}

void Choose(wxDialog& dlg, int id, int index) {
    auto* choice = dynamic_cast<wxChoice*>(Control(dlg, id));
    ASSERT_NE(choice, nullptr);
    choice->SetSelection(index);
    wxCommandEvent ev(wxEVT_CHOICE, id);
    ev.SetEventObject(choice);
    ev.SetInt(index);
    choice->GetEventHandler()->ProcessEvent(ev);
}

void Type(wxDialog& dlg, int id, const char* utf8) {
    auto* text = dynamic_cast<wxTextCtrl*>(Control(dlg, id));
    ASSERT_NE(text, nullptr);
    text->SetValue(wxString::FromUTF8(utf8));
}

void ExpectRowsAligned(wxDialog& dlg, std::initializer_list<FormRow> rows) {
    int previousBottom = -1;
    for (const FormRow& row : rows) {
        SCOPED_TRACE(row.label);
        wxWindow* label = nullptr;
        for (wxWindow* child : dlg.GetChildren())
            if (dynamic_cast<wxStaticText*>(child) && child->GetLabel() == Tr(row.label))
                label = child;
        ASSERT_NE(label, nullptr);
        const wxRect text = label->GetRect();
        wxRect field = text;
        if (row.id != 0) {
            ASSERT_NE(Control(dlg, row.id), nullptr);
            field = Control(dlg, row.id)->GetRect();
        }
        const int middle = text.y + text.height / 2;
        EXPECT_GE(middle, field.y);
        EXPECT_LE(middle, field.GetBottom());
        EXPECT_GT(std::min(text.y, field.y), previousBottom) << "overlaps the row above";
        previousBottom = std::max(text.GetBottom(), field.GetBottom());
    }
}

std::string TextOf(wxDialog& dlg, int id) {
    auto* text = dynamic_cast<wxTextCtrl*>(Control(dlg, id));
    return text ? text->GetValue().utf8_string() : std::string("<no text control>");
}

int SelectionOf(wxDialog& dlg, int id) {
    auto* choice = dynamic_cast<wxChoice*>(Control(dlg, id));
    return choice ? choice->GetSelection() : -2;
}

bool IsEnabled(wxDialog& dlg, int id) {
    wxWindow* w = Control(dlg, id);
    return w && w->IsEnabled();
}

bool SaveScreenshot(wxDialog& dlg, const std::string& name) {
    dlg.Show();
    dlg.Raise();
    for (int i = 0; i < 40; ++i) {
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const wxRect rect = dlg.GetScreenRect();
    wxBitmap bitmap(rect.width, rect.height);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    dlg.Hide();
    std::filesystem::create_directories(DARVEX_SCREENSHOT_DIR);
    const std::filesystem::path file = std::filesystem::path(DARVEX_SCREENSHOT_DIR) /
                                       (name + guitest::ScreenshotSuffix() + ".png");
    bitmap.SaveFile(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG);
    return guitest::ImageHasContent(file);
}

namespace {
template <class Dlg> std::function<std::unique_ptr<wxDialog>()> Make() {
    return [] {
        auto dlg = std::make_unique<Dlg>(&guitest::Frame());
        dlg->TransferDataToWindow();
        return std::unique_ptr<wxDialog>(std::move(dlg));
    };
}
// The file-information dialog on a file with the widest name and every field filled.
std::unique_ptr<wxDialog> MakeFileInfo() {
    auto dlg = std::make_unique<CFileInfoDlg>(&guitest::Frame());
    DirEntry entry = testdisk::MakeEntry(
        {.mode = 0x01, .name = "WWWWWWWWWWWWWWWW", .size = 65535, .load = 0xFFFF, .exec = 0xBBBB});
    entry.SetDate(ParseEntryDate("2412312359").value_or(0));
    dlg->Propose(entry);
    dlg->TransferDataToWindow();
    return dlg;
}
} // namespace

const std::vector<DialogCase>& AllDialogs() {
    static const std::vector<DialogCase> all = {
        {"new disk", Make<CNewDiskDlg>(), "IDC_DISK_TYPE"},
        {"about", Make<CAboutDlg>(), nullptr},
        {"add file", Make<CAddFileDlg>(), "IDC_MODE"},
        {"add file, several files",
         [] {
             auto dlg = std::make_unique<CAddFileDlg>(&guitest::Frame());
             dlg->TransferDataToWindow();
             dlg->ShowAllOk(true);
             return std::unique_ptr<wxDialog>(std::move(dlg));
         },
         "IDC_MODE"},
        {"boot register", Make<CBootRegisterDlg>(), "IDC_MACHINE"},
        {"extract", Make<CExtractDlg>(), "IDC_FORMAT"},
        {"boot extract", Make<CBootExtractDlg>(), "IDC_FORMAT"},
        {"file info", MakeFileInfo, "IDC_MODE"},
        {"disk info", Make<CDiskInfoDlg>(), "IDC_DISK_NAME"},
    };
    return all;
}

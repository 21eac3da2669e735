// The program's texts in the language the run was started with (ctest runs this in Japanese and
// in English): every text of the menus, the tool bar, the list and the dialogs comes from the
// catalog, none is left in the other language, and wx's own windows speak the same language.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/print.h>
#include <wx/stattext.h>
#include <wx/stockitem.h>
#include <wx/toolbar.h>

#include "GuiTestSupport.h"
#include "doc/DocText.h"
#include "gui/DialogExpect.h"
#include "ui/Localization.h"
#include "ui/MainFrame.h"

using namespace guitest;

namespace {

bool Japanese() {
    return Localization::Current() == UiLanguage::Japanese;
}

// po/ja.po as msgid -> msgstr.
std::map<std::string, std::string> ReadCatalog() {
    std::ifstream in(DARVEX_JA_PO);
    EXPECT_TRUE(in) << DARVEX_JA_PO;
    std::map<std::string, std::string> catalog;
    std::string line, id, str, *field = nullptr;
    const auto unquote = [](const std::string& quoted) {
        std::string out;
        for (size_t i = 1; i + 1 < quoted.size(); ++i) {
            if (quoted[i] == '\\' && i + 2 < quoted.size()) {
                const char c = quoted[++i];
                out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
            } else {
                out += quoted[i];
            }
        }
        return out;
    };
    const auto flush = [&] {
        if (!id.empty())
            catalog[id] = str;
        id.clear();
        str.clear();
    };
    while (std::getline(in, line)) {
        if (line.rfind("msgid ", 0) == 0) {
            flush();
            field = &id;
            *field = unquote(line.substr(6));
        } else if (line.rfind("msgstr ", 0) == 0) {
            field = &str;
            *field = unquote(line.substr(7));
        } else if (!line.empty() && line[0] == '"' && field) {
            *field += unquote(line);
        }
    }
    flush();
    return catalog;
}

bool HasJapanese(const wxString& text) {
    for (const wxUniChar c : text) {
        const unsigned u = c.GetValue();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) ||
            (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// An English word: two letters or more, not all capitals (OBJ, MZT and CAP are names).
bool HasEnglishWord(const wxString& text) {
    static const std::regex word("[A-Za-z]*[a-z][A-Za-z]*");
    static const std::set<std::string> names = {"Darvex", "Version", "file", "h"};
    const std::string s = text.utf8_string();
    for (auto it = std::sregex_iterator(s.begin(), s.end(), word); it != std::sregex_iterator();
         ++it)
        if (it->str().size() > 1 && !names.count(it->str()))
            return true;
    return false;
}

struct Shown {
    std::string where;
    wxString text;
};

void AddMenu(const wxMenu* menu, const std::string& where, std::vector<Shown>& out) {
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        if (item->IsSeparator())
            continue;
        const int id = item->GetId();
        // Recent files are paths; only the empty list's placeholder is a text.
        if (id > wxID_FILE1 && id <= wxID_FILE9)
            continue;
        if (id == wxID_FILE1 && item->IsEnabled())
            continue;
        const std::string name = where + " > " + item->GetItemLabelText().utf8_string();
        out.push_back({name, item->GetItemLabel().BeforeFirst('\t')});
        if (!item->GetHelp().empty())
            out.push_back({name + " (help)", item->GetHelp()});
        if (const wxMenu* sub = item->GetSubMenu())
            AddMenu(sub, name, out);
    }
}

void AddWindow(const wxWindow* window, const std::string& where, std::vector<Shown>& out) {
    for (const wxWindow* child : window->GetChildren()) {
        if (auto* choice = wxDynamicCast(child, wxChoice)) {
            for (unsigned i = 0; i < choice->GetCount(); ++i)
                out.push_back({where + " choice", choice->GetString(i)});
        } else if (wxDynamicCast(child, wxStaticText) || wxDynamicCast(child, wxButton)) {
            out.push_back({where + " label", child->GetLabel()});
        }
        AddWindow(child, where, out);
    }
}

// What the main window and the dialogs show, with where each text is.
std::vector<Shown> ShownTexts() {
    std::vector<Shown> shown;
    const wxMenuBar* bar = Frame().GetMenuBar();
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        shown.push_back({"menu", bar->GetMenuLabel(i)});
        AddMenu(bar->GetMenu(i), bar->GetMenuLabelText(i).utf8_string(), shown);
    }
    const wxToolBar* tools = Frame().GetToolBar();
    for (size_t i = 0; i < tools->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = tools->GetToolByPos(static_cast<int>(i));
        if (tool->IsSeparator())
            continue;
        shown.push_back({"tool tip", tool->GetShortHelp()});
        shown.push_back({"tool help", tool->GetLongHelp()});
    }
    wxListCtrl* list = Frame().GetListCtrl();
    for (int c = 0; c < list->GetColumnCount(); ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        list->GetColumn(c, column);
        shown.push_back({"column", column.GetText()});
    }
    for (const DialogCase& c : AllDialogs()) {
        std::unique_ptr<wxDialog> dlg = c.make();
        shown.push_back({std::string(c.name) + " title", dlg->GetTitle()});
        AddWindow(dlg.get(), c.name, shown);
    }
    return shown;
}

// A file chooser: records its title and cancels.
class ExpectChooserTitle : public wxExpectModalBase<wxFileDialog, ExpectChooserTitle> {
public:
    explicit ExpectChooserTitle(wxString* title) : m_title(title) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        *m_title = dialog->GetMessage();
        return wxID_CANCEL;
    }

private:
    wxString* m_title;
};

class LanguageTest : public GuiTest {};

TEST_F(LanguageTest, EveryTextComesFromTheCatalog) {
    const std::map<std::string, std::string> catalog = ReadCatalog();
    ASSERT_FALSE(catalog.empty());
    std::set<wxString> known;
    for (const auto& [id, str] : catalog)
        known.insert(wxString::FromUTF8(Japanese() ? str : id));
    // Shown as they are in every language: names of languages, file modes, machine codes and
    // the version line.
    const std::regex untranslated("日本語|English|Darvex Version [0-9.]+|[A-Z]{3}( \\(CRLF→CR\\))?|"
                                  "0[0-7]h( MZ-[0-9B/]+)?");
    for (const Shown& s : ShownTexts()) {
        SCOPED_TRACE(s.where + ": " + s.text.utf8_string());
        if (std::regex_match(s.text.utf8_string(), untranslated))
            continue;
        EXPECT_TRUE(known.count(s.text)) << "not a text of the catalog";
        if (Japanese())
            EXPECT_FALSE(HasEnglishWord(s.text)) << "English under Japanese";
        else
            EXPECT_FALSE(HasJapanese(s.text)) << "Japanese under English";
    }
}

// wx's own texts come from wx's catalog (wxstd), in the program's language.
TEST_F(LanguageTest, StockWindowsSpeakTheProgramsLanguage) {
    const auto expect = [](const wxString& text, const char* what) {
        SCOPED_TRACE(std::string(what) + ": " + text.utf8_string());
        EXPECT_FALSE(text.empty());
        if (Japanese())
            EXPECT_FALSE(HasEnglishWord(text));
        else
            EXPECT_FALSE(HasJapanese(text));
    };
    for (int id : {wxID_OK, wxID_CANCEL, wxID_YES, wxID_NO, wxID_CLOSE})
        expect(wxGetStockLabel(id, wxSTOCK_NOFLAGS), "stock button");
    expect(wxGetTranslation("Print Preview"), "print preview title");
    expect(wxGetTranslation("Page Setup"), "page setup title");

    // File > Open's chooser has a title of its own.
    wxString title;
    wxTEST_DIALOG(Command(wxID_OPEN), ExpectChooserTitle(&title));
    EXPECT_EQ(title, Tr("Open"));
    expect(title, "open chooser");

    // The print preview window and its Close button.
    Command(wxID_PREVIEW);
    Settle(50);
    wxFrame* preview = nullptr;
    for (wxWindow* top : wxTopLevelWindows)
        if (auto* frame = wxDynamicCast(top, wxPreviewFrame))
            preview = frame;
    ASSERT_NE(preview, nullptr);
    expect(preview->GetTitle(), "print preview");
    if (wxWindow* close = preview->FindWindow(wxID_PREVIEW_CLOSE))
        expect(close->GetLabel(), "print preview's Close");
    else
        ADD_FAILURE() << "no Close button";
    preview->Close(true);
    Settle(50);
}

} // namespace

// The program's texts in the language the run was started with (ctest runs this in Japanese and
// in English): every text of the menus, the tool bar, the list and the dialogs comes from the
// catalog, none is left in the other language, and wx's own windows speak the same language.
#include <gtest/gtest.h>

#include <libintl.h>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/config.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/print.h>
#include <wx/stattext.h>
#include <wx/stockitem.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

#include "GuiTestDisks.h"
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "ViewerTestDisk.h"
#include "doc/CommandIds.h"
#include "doc/DocText.h"
#include "gui/DialogExpect.h"
#include "ui/FileViewerFrame.h"
#include "ui/Localization.h"
#include "ui/MainFrame.h"
#include "ui/SectorViewFrame.h"

using namespace guitest;

namespace {

bool Japanese() {
    return Localization::Current() == UiLanguage::Japanese;
}

// The Japanese catalog as the program reads it (the compiled po/ja.po): msgid -> msgstr.
std::map<std::string, std::string> ReadCatalog() {
    const std::vector<unsigned char> mo =
        testutil::ReadFileBytes(std::string(DARVEX_LOCALE_DIR) + "/ja/LC_MESSAGES/darvex.mo");
    const auto u32 = [&mo](size_t at) {
        return at + 4 <= mo.size() ? mo[at] | mo[at + 1] << 8 | mo[at + 2] << 16 | mo[at + 3] << 24
                                   : 0u;
    };
    // Little-endian .mo: count at 8, the tables of (length, offset) of msgids and msgstrs
    // at the offsets stored at 12 and 16.
    const auto text = [&](size_t table, unsigned i) {
        const size_t length = u32(table + 8 * i), at = u32(table + 8 * i + 4);
        return at + length <= mo.size() ? std::string(mo.begin() + at, mo.begin() + at + length)
                                        : std::string();
    };
    std::map<std::string, std::string> catalog;
    for (unsigned i = 0; i < u32(8); ++i)
        catalog[text(u32(12), i)] = text(u32(16), i);
    catalog.erase(""); // the header
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
        // Values (numbers, the disk's bytes) read the same in every language.
        if (child->GetName() == "value")
            continue;
        if (auto* book = dynamic_cast<const wxNotebook*>(child)) {
            for (size_t i = 0; i < book->GetPageCount(); ++i)
                out.push_back({where + " tab", book->GetPageText(i)});
        } else if (auto* choice = dynamic_cast<const wxChoice*>(child)) {
            for (unsigned i = 0; i < choice->GetCount(); ++i)
                out.push_back({where + " choice", choice->GetString(i)});
        } else if (dynamic_cast<const wxStaticText*>(child) ||
                   dynamic_cast<const wxButton*>(child) || dynamic_cast<const wxCheckBox*>(child)) {
            out.push_back({where + " label", child->GetLabel()});
        }
        AddWindow(child, where, out);
    }
}

void AddMenuBar(const wxMenuBar* bar, const std::string& where, std::vector<Shown>& out) {
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        out.push_back({where + " menu", bar->GetMenuLabel(i)});
        AddMenu(bar->GetMenu(i), where + " " + bar->GetMenuLabelText(i).utf8_string(), out);
    }
}

// What the main window and the dialogs show, with where each text is.
std::vector<Shown> ShownTexts() {
    std::vector<Shown> shown;
    AddMenuBar(Frame().GetMenuBar(), "main", shown);
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

// Every text shown comes from the catalog, in the run's language alone.
void ExpectCatalogTexts(const std::vector<Shown>& shown) {
    const std::map<std::string, std::string> catalog = ReadCatalog();
    ASSERT_FALSE(catalog.empty());
    std::set<wxString> known;
    for (const auto& [id, str] : catalog)
        known.insert(wxString::FromUTF8(Japanese() ? str : id));
    // Shown as they are in every language: names of languages, file modes, machine codes and
    // the version line.
    const std::regex untranslated("日本語|English|Darvex Version [0-9.]+|[A-Z]{3}( \\(CRLF→CR\\))?|"
                                  "0[0-7]h( MZ-[0-9B/]+)?");
    for (const Shown& s : shown) {
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

TEST_F(LanguageTest, EveryTextComesFromTheCatalog) {
    ExpectCatalogTexts(ShownTexts());
}

// The file viewer (its menus and tabs) and the sector view (its labels and tabs).
TEST_F(LanguageTest, ViewerWindowsTextsComeFromTheCatalog) {
    testutil::TempDir dir;
    ASSERT_NE(OpenFile(WriteSampleDisk(dir.path(), "language.d88")), nullptr);
    CFileViewerFrame* viewer = OpenViewer("TEXT");
    ASSERT_NE(viewer, nullptr);
    CSectorViewFrame* sectors = CSectorViewFrame::Open(*Doc(), 0);
    ASSERT_NE(sectors, nullptr);
    std::vector<Shown> shown;
    AddMenuBar(viewer->GetMenuBar(), "viewer", shown);
    AddWindow(viewer, "viewer", shown);
    shown.push_back({"sector view title", sectors->GetTitle().BeforeLast('-').Trim()});
    AddWindow(sectors, "sector view", shown);
    EXPECT_GT(shown.size(), 30u);
    ExpectCatalogTexts(shown);
    viewer->Close(true);
    sectors->Close(true);
    Settle(20);
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
    // GTK's own words inside its file chooser, through the C library (no Japanese locale is
    // generated on the test machine).
    expect(wxString::FromUTF8(dgettext("gtk30", "Other Locations")), "GTK's file chooser");

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
        if (auto* frame = dynamic_cast<wxPreviewFrame*>(top))
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

// The Japanese texts the program has always shown, byte for byte (half-width kana included):
// menus, tool tips, column titles and the dialogs' texts in their tab order.
TEST_F(LanguageTest, JapaneseTextsAreTheOriginalOnes) {
    if (!Japanese())
        GTEST_SKIP() << "Japanese run only";
    struct Item {
        int id;
        const char* label;
        const char* help;
    };
    const Item items[] = {
        {wxID_NEW, "新規作成(&N)\tCtrl+N", "新規にﾌｧｲﾙを作成"},
        {wxID_OPEN, "開く(&O)...\tCtrl+O", "既存のﾌｧｲﾙを開く"},
        {wxID_SAVE, "上書き保存(&S)\tCtrl+S", "作業中のﾌｧｲﾙを上書きして保存"},
        {wxID_SAVEAS, "名前を付けて保存(&A)...", "作業中のﾌｧｲﾙを新しい名前で保存"},
        {ID_FLAT_IMAGE, "ﾍﾞﾀﾃﾞｨｽｸｲﾒｰｼﾞ作成", "ベタディスクイメージを作成する"},
        {wxID_PRINT, "印刷(&P)...\tCtrl+P", "作業中のﾌｧｲﾙを印刷"},
        {wxID_PREVIEW, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", "印刷ｲﾒｰｼﾞを表示"},
        {wxID_PRINT_SETUP, "ﾌﾟﾘﾝﾀの設定(&R)...", "ﾌﾟﾘﾝﾀ/印刷ｵﾌﾟｼｮﾝの変更"},
        {wxID_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示"},
        {wxID_UNDO, "元に戻す(&U)\tCtrl+Z", "直前に行った動作を元に戻す"},
        {wxID_CUT, "切り取り(&T)\tCtrl+X", "選択範囲を切り取ってｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存"},
        {wxID_COPY, "ｺﾋﾟｰ(&C)\tCtrl+C", "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存"},
        {wxID_PASTE, "貼り付け(&P)\tCtrl+V", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を貼り付け"},
        {ID_EXTRACT_FILE, "ファイル取り出し", "選択したファイルを取り出す"},
        {ID_ADD_FILE, "ファイル追加", "ディスクイメージにファイルを追加する"},
        {ID_EDIT_FILE_INFO, "ﾌｧｲﾙ情報編集", "ファイル情報を編集する"},
        {ID_DELETE_FILE, "ﾌｧｲﾙ削除", "ディスクイメージからファイルを消去する"},
        {ID_EXTRACT_BOOT, "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ取り出し", "ブートプログラムを取り出す"},
        {ID_REGISTER_BOOT, "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ登録", "ブートプログラムを登録する"},
        {ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)", "ﾂｰﾙ ﾊﾞｰの 表示/非表示"},
        {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", "ｽﾃｰﾀｽ ﾊﾞｰの 表示/非表示"},
        {wxID_ABOUT, "Darvex のﾊﾞｰｼﾞｮﾝ情報(&A)...", "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"},
    };
    const wxMenuBar* bar = Frame().GetMenuBar();
    for (const Item& item : items) {
        SCOPED_TRACE(item.label);
        const wxMenuItem* menuItem = bar->FindItem(item.id);
        ASSERT_NE(menuItem, nullptr);
        EXPECT_EQ(menuItem->GetItemLabel().utf8_string(), item.label);
        EXPECT_EQ(menuItem->GetHelp().utf8_string(), item.help);
    }
    std::vector<std::string> titles;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        titles.push_back(bar->GetMenuLabel(i).utf8_string());
    EXPECT_EQ(titles, (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "ﾍﾙﾌﾟ(&H)"}));

    const std::pair<int, const char*> tips[] = {
        {wxID_NEW, "新規ﾌｧｲﾙ"},
        {wxID_OPEN, "開く"},
        {wxID_SAVE, "保存"},
        {wxID_CUT, "切り取り"},
        {wxID_COPY, "ｺﾋﾟｰ"},
        {wxID_PASTE, "貼り付け"},
        {wxID_PRINT, "印刷"},
        {ID_VIEW_LARGEICON, "大きいｱｲｺﾝ"},
        {ID_VIEW_SMALLICON, "小さいｱｲｺﾝ"},
        {ID_VIEW_LIST, "一覧"},
        {ID_VIEW_DETAILS, "詳細"},
        {wxID_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報"},
    };
    for (const auto& [id, tip] : tips)
        EXPECT_EQ(Frame().GetToolBar()->FindById(id)->GetShortHelp().utf8_string(), tip);

    // Titles, then labels and list items in tab order, "|" between them. OK and Cancel come in
    // the desktop's order (GTK: the affirmative button last); the extract dialog's three
    // buttons keep theirs.
    const std::map<std::string, std::string> dialogs = {
        {"new disk", "新規ディスク作成|ディスクの種類|MZ-2500 2DD (160トラック16セクタ)|"
                     "MZ-2500 2D (80トラック16セクタ)|MZ-2500 2D (70トラック16セクタ)|"
                     "MZ-2000 2D (70トラック16セクタ)|ｷｬﾝｾﾙ|OK"},
        {"add file", "ファイル追加|ファイル名|モード|OBJ|BTX|BSD|BRD|BSD (CRLF→CR)|プロテクト|なし|"
                     "あり|ファイルサイズ|ロードアドレス|実行アドレス|作成日付|OK|すべて OK|ｷｬﾝｾﾙ"},
        {"add file, several files",
         "ファイル追加|ファイル名|モード|OBJ|BTX|BSD|BRD|BSD (CRLF→CR)|プロテクト|なし|"
         "あり|ファイルサイズ|ロードアドレス|実行アドレス|作成日付|OK|すべて OK|ｷｬﾝｾﾙ"},
        {"boot register", "ブートプログラム登録|起動時の表示|機種|00h|01h MZ-80B/2000/2200/2500|"
                          "02h|03h MZ-700/1500|04h|05h|06h|07h|実行アドレス|ｷｬﾝｾﾙ|OK"},
        {"extract", "ファイル取り出し|保存場所|参照|ファイル形式|BIN|MZT|OK|すべて OK|ｷｬﾝｾﾙ"},
        {"boot extract", "ブートファイル取り出し|保存場所|参照|ファイル形式|BIN|MZT|ｷｬﾝｾﾙ|OK"},
        {"file info", "ﾌｧｲﾙ情報編集|ファイル名|モード|OBJ|BTX|プロテクト|なし|あり|ファイルサイズ|"
                      "ロードアドレス|実行アドレス|日付 (年月日時分)|ｷｬﾝｾﾙ|OK"},
        {"disk info", "ディスク情報|ディスク名|ライトプロテクト|ｷｬﾝｾﾙ|OK"},
        {"about", "Darvexのﾊﾞｰｼﾞｮﾝ情報|Darvex Version 0.06|"
                  "MZ-80B/2000/2200/2500 ディスクイメージツール|ライセンス: MIT|OK"},
    };
    for (const DialogCase& c : AllDialogs()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<wxDialog> dlg = c.make();
        std::vector<Shown> shown;
        AddWindow(dlg.get(), c.name, shown);
        std::string texts = dlg->GetTitle().utf8_string();
        for (const Shown& s : shown)
            texts += "|" + s.text.utf8_string();
        EXPECT_EQ(texts, dialogs.at(c.name));
    }
}

// The View menu's choice is kept for the next start and shown checked; System forgets it and
// leaves the language to the locale. This run's language stays as it started.
TEST_F(LanguageTest, MenuChoiceIsKeptForTheNextStart) {
    using Setting = Localization::Setting;
    const UiLanguage started = Localization::Current();
    const std::string notice =
        Tr("The language changes when Darvex starts the next time.").utf8_string();
    const std::pair<const char*, Setting> choices[] = {{"ID_LANGUAGE_ENGLISH", Setting::English},
                                                       {"ID_LANGUAGE_JAPANESE", Setting::Japanese},
                                                       {"ID_LANGUAGE_SYSTEM", Setting::System}};
    for (const auto& [item, setting] : choices) {
        SCOPED_TRACE(item);
        wxTEST_DIALOG(Command(XRCID(item)), ExpectMessage(notice, "Darvex"));
        EXPECT_EQ(Localization::ReadSetting(*wxConfigBase::Get()), setting);
        EXPECT_TRUE(IsChecked(XRCID(item)));
    }
    EXPECT_FALSE(wxConfigBase::Get()->HasEntry("/Settings/Language"));
    EXPECT_EQ(Localization::Resolve(Setting::System), started);
    EXPECT_EQ(Localization::Current(), started);
}

} // namespace

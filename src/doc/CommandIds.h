#pragma once

#include <wx/defs.h>

// The program's own commands. wx refuses menu and tool ids from 0x7FFF up, and the original
// command numbers (32771 ...) lie above that, so each number gets an id of ours; the number is
// written beside it. The standard commands use wx's standard ids (see kCommandTable).
enum CommandId : int {
    ID_COMMAND_FIRST = wxID_HIGHEST + 100,
    ID_EXTRACT_FILE = ID_COMMAND_FIRST, // 32771 "ファイル取り出し"
    ID_ADD_FILE,                        // 32774 "ファイル追加"
    ID_EDIT_FILE_INFO,                  // 32777 "ﾌｧｲﾙ情報編集"
    ID_EXTRACT_BOOT,                    // 32778 "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ取り出し"
    ID_REGISTER_BOOT,                   // 32779 "ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ登録"
    ID_DELETE_FILE,                     // 32780 "ﾌｧｲﾙ削除"
    ID_FLAT_IMAGE,                      // 32782 "ﾍﾞﾀﾃﾞｨｽｸｲﾒｰｼﾞ作成"
    ID_VIEW_TOOLBAR,                    // 59392 "ﾂｰﾙ ﾊﾞｰ(&T)"
    ID_VIEW_STATUS_BAR,                 // 59393 "ｽﾃｰﾀｽ ﾊﾞｰ(&S)"
    ID_VIEW_SMALLICON,                  // 59408 small icons
    ID_VIEW_LARGEICON,                  // 59409 large icons
    ID_VIEW_LIST,                       // 59410 list
    ID_VIEW_DETAILS,                    // 59411 details
    ID_NEXT_PANE,                       // 57680 F6
    ID_PREV_PANE,                       // 57681 Shift+F6
    ID_RENAME_FILE,                     // "名前の変更" (F2), a command of our own
    ID_DISK_INFO,                       // "ディスク情報", a command of our own
    ID_COMMAND_LAST = ID_DISK_INFO
};

struct CommandNumber {
    int number;          // the original command number; 0 for a command of our own
    int id;              // the wx id it maps to
    const char* xrcName; // the name the XRC resources use for it
};

// Every command of the menus, tool bar and accelerators.
inline constexpr CommandNumber kCommandTable[] = {
    {57600, wxID_NEW, "wxID_NEW"},
    {57601, wxID_OPEN, "wxID_OPEN"},
    {57603, wxID_SAVE, "wxID_SAVE"},
    {57604, wxID_SAVEAS, "wxID_SAVEAS"},
    {57606, wxID_PRINT_SETUP, "wxID_PRINT_SETUP"},
    {57607, wxID_PRINT, "wxID_PRINT"},
    {57609, wxID_PREVIEW, "wxID_PREVIEW"},
    {57616, wxID_FILE1, "wxID_FILE1"},
    {57634, wxID_COPY, "wxID_COPY"},
    {57635, wxID_CUT, "wxID_CUT"},
    {57637, wxID_PASTE, "wxID_PASTE"},
    {57643, wxID_UNDO, "wxID_UNDO"},
    {57644, wxID_REDO, "wxID_REDO"},
    {57664, wxID_ABOUT, "wxID_ABOUT"},
    {57665, wxID_EXIT, "wxID_EXIT"},
    {57680, ID_NEXT_PANE, "ID_NEXT_PANE"},
    {57681, ID_PREV_PANE, "ID_PREV_PANE"},
    {32771, ID_EXTRACT_FILE, "ID_EXTRACT_FILE"},
    {32774, ID_ADD_FILE, "ID_ADD_FILE"},
    {32777, ID_EDIT_FILE_INFO, "ID_EDIT_FILE_INFO"},
    {32778, ID_EXTRACT_BOOT, "ID_EXTRACT_BOOT"},
    {32779, ID_REGISTER_BOOT, "ID_REGISTER_BOOT"},
    {32780, ID_DELETE_FILE, "ID_DELETE_FILE"},
    {32782, ID_FLAT_IMAGE, "ID_FLAT_IMAGE"},
    {59392, ID_VIEW_TOOLBAR, "ID_VIEW_TOOLBAR"},
    {59393, ID_VIEW_STATUS_BAR, "ID_VIEW_STATUS_BAR"},
    {59408, ID_VIEW_SMALLICON, "ID_VIEW_SMALLICON"},
    {59409, ID_VIEW_LARGEICON, "ID_VIEW_LARGEICON"},
    {59410, ID_VIEW_LIST, "ID_VIEW_LIST"},
    {59411, ID_VIEW_DETAILS, "ID_VIEW_DETAILS"},
    {0, ID_RENAME_FILE, "ID_RENAME_FILE"},
    {0, ID_DISK_INFO, "ID_DISK_INFO"},
};

// Commands that are shown disabled when no object on the route handles their update: ours,
// and the standard editing commands this program never implements.
constexpr bool IsProgramCommand(int id) {
    return (id >= ID_COMMAND_FIRST && id <= ID_COMMAND_LAST) || id == wxID_CUT || id == wxID_COPY ||
           id == wxID_PASTE || id == wxID_UNDO || id == wxID_REDO;
}

// Controls of the dialogs that the code reaches by id.
inline constexpr int IDC_DISK_TYPE = 1014;

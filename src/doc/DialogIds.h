#pragma once

// Control ids of the command dialogs, by the numbers their templates give them. Registered
// under their XRC names before the first dialog is loaded, so XRCID() and these agree.
enum DialogControlId : int {
    kIdAllOk = 3, // "すべて OK" of the extract dialog
    kIdPath = 1000,
    kIdBrowse = 1001,
    kIdFormatLabel = 1002,
    kIdFormat = 1003,
    kIdName = 1004,
    kIdMode = 1005,
    kIdProtect = 1006,
    kIdSize = 1007,
    kIdLoadAddress = 1009,
    kIdExecAddress = 1010,
    kIdBootText = 1012,
    kIdMachine = 1013,
};

// Gives the XRC names their fixed ids; safe to call again.
void RegisterDialogIds();

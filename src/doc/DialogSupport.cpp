#include "doc/DialogSupport.h"

#include <wx/xrc/xmlres.h>

#include "doc/DialogIds.h"
#include "doc/DialogLayout.h"
#include "doc/JaMessageBox.h"
#include "doc/UiText.h"
#include "fs/Messages.h"

void RegisterDialogIds() {
    static bool loaded = false;
    if (loaded)
        return;
    struct Named {
        const char* name;
        int id;
    };
    static constexpr Named kIds[] = {
        {"IDC_ALL_OK", kIdAllOk},
        {"IDC_PATH", kIdPath},
        {"IDC_BROWSE", kIdBrowse},
        {"IDC_FORMAT_LABEL", kIdFormatLabel},
        {"IDC_FORMAT", kIdFormat},
        {"IDC_NAME", kIdName},
        {"IDC_MODE", kIdMode},
        {"IDC_PROTECT", kIdProtect},
        {"IDC_SIZE", kIdSize},
        {"IDC_LOAD_ADDRESS", kIdLoadAddress},
        {"IDC_EXEC_ADDRESS", kIdExecAddress},
        {"IDC_BOOT_TEXT", kIdBootText},
        {"IDC_MACHINE", kIdMachine},
    };
    for (const Named& n : kIds)
        wxXmlResource::GetXRCID(n.name, n.id);
    loaded = true;
}

namespace DialogSupport {

bool LoadTemplate(wxDialog& dlg, wxWindow* parent, const char* name, int width, int height) {
    RegisterDialogIds();
    if (!wxXmlResource::Get()->LoadDialog(&dlg, parent, name))
        return false;
    FitDialogUnits(&dlg, wxSize(width, height));
    return true;
}

void ShowError(wxWindow* parent, const std::string& text) {
    JaMessageBox(parent, FromUtf8(text), FromUtf8(MessageJa(UiText::ErrorCaption)),
                 wxOK | wxICON_NONE);
}

bool AskOkCancel(wxWindow* parent, const std::string& text, const std::string& caption) {
    return JaMessageBox(parent, FromUtf8(text), FromUtf8(caption), wxOK | wxCANCEL | wxICON_NONE) ==
           wxID_OK;
}

void EndDialogWith(wxDialog& dlg, int result) {
    dlg.SetReturnCode(result);
    if (dlg.IsModal())
        dlg.EndModal(result);
    else
        dlg.Hide();
}

std::string WithDefaultExtension(const std::string& path, const char* ext) {
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    if (start == path.size() || path.find('.', start) != std::string::npos)
        return path;
    return path + "." + ext;
}

} // namespace DialogSupport

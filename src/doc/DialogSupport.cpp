#include "doc/DialogSupport.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/xrc/xmlres.h>

#include "doc/DialogIds.h"
#include "doc/DocText.h"
#include "doc/MessageBox.h"
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

bool LoadTemplate(wxDialog& dlg, wxWindow* parent, const char* name) {
    RegisterDialogIds();
    if (!wxXmlResource::Get()->LoadDialog(&dlg, parent, name))
        return false;
    if (wxSizer* sizer = dlg.GetSizer())
        sizer->SetSizeHints(&dlg);
    dlg.CentreOnParent();
    dlg.Bind(wxEVT_CHAR_HOOK, [&dlg](wxKeyEvent& event) {
        if (!PressDefaultButton(dlg, event))
            event.Skip();
    });
    return true;
}

bool PressDefaultButton(wxDialog& dlg, const wxKeyEvent& key) {
    const int code = key.GetKeyCode();
    if ((code != WXK_RETURN && code != WXK_NUMPAD_ENTER) || key.HasAnyModifiers())
        return false;
    // A focused button takes Enter as its own press.
    const wxWindow* focus = wxWindow::FindFocus();
    if (focus && focus->IsKindOf(wxCLASSINFO(wxButton)))
        return false;
    // Taken even when the default button is disabled: GTK would otherwise open the focused
    // choice's list.
    auto* button = dynamic_cast<wxButton*>(dlg.GetDefaultItem());
    if (button && button->IsEnabled()) {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
    }
    return true;
}

void ShowError(wxWindow* parent, const std::string& text) {
    ShowMessageBox(parent, FromUtf8(text), FromUtf8(UiMessage(UiText::ErrorCaption)),
                   wxOK | wxICON_NONE);
}

void ShowInformation(wxWindow* parent, const wxString& text) {
    ShowMessageBox(parent, text, doctext::kAppName, wxOK | wxICON_NONE);
}

bool AskOkCancel(wxWindow* parent, const std::string& text, const std::string& caption) {
    return ShowMessageBox(parent, FromUtf8(text), FromUtf8(caption),
                          wxOK | wxCANCEL | wxICON_NONE) == wxID_OK;
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

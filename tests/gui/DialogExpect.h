#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/testing.h>

// Test hooks for the command dialogs: what a user does inside a modal dialog, run by
// wxTEST_DIALOG in place of ShowModal.

// Runs `action` on the dialog after its initialisation (the hook skips the one ShowModal
// does); the action's result is what ShowModal returns.
template <class Dlg> class ExpectDialog : public wxExpectModalBase<Dlg, ExpectDialog<Dlg>> {
public:
    explicit ExpectDialog(std::function<int(Dlg&)> action) : m_action(std::move(action)) {}

protected:
    int OnInvoked(Dlg* dlg) const override {
        dlg->InitDialog();
        return m_action(*dlg);
    }

private:
    std::function<int(Dlg&)> m_action;
};

// What a user does to a control: each sends the event the real action sends.
void Click(wxDialog& dlg, int id);
void Choose(wxDialog& dlg, int id, int index);
void Type(wxDialog& dlg, int id, const char* utf8);
std::string TextOf(wxDialog& dlg, int id);
int SelectionOf(wxDialog& dlg, int id);
bool IsEnabled(wxDialog& dlg, int id);

// The form's rows from top to bottom, each a label (its msgid) and the id of the field
// beside it: each label's middle lies within its field's height, and every row lies wholly
// below the one before (what GTK's taller controls must not break).
struct FormRow {
    const char* label;
    int id;
};
void ExpectRowsAligned(wxDialog& dlg, std::initializer_list<FormRow> rows);

// Shows the dialog modelessly, waits for it to paint and saves its screen image as
// <screenshot folder>/<name>.png. False when the capture came out blank. Under Xvfb without
// a window manager only the first capture of a process shows what it should, so each
// screenshot test runs in a process of its own.
bool SaveScreenshot(wxDialog& dlg, const std::string& name);

// Every dialog of the program, built on the main window with its initial values shown.
struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<wxDialog>()> make;
    const char* focus; // XRC name of a control that takes keys (a choice), or null
};
const std::vector<DialogCase>& AllDialogs();

#include "doc/DiskCommandProcessor.h"

#include <wx/menu.h>

#include "doc/DiskChangeCommand.h"
#include "doc/DocText.h"

namespace {

std::size_t BytesOf(const wxCommand* command) {
    const auto* step = dynamic_cast<const DiskChangeCommand*>(command);
    return step ? step->Bytes() : sizeof(wxCommand);
}

wxString StepLabel(const char* plain, const char* named, const wxCommand* step, const char* key) {
    const wxString label = step ? wxString::Format(Tr(named), step->GetName()) : Tr(plain);
    return label + "\t" + key;
}

} // namespace

DiskCommandProcessor::DiskCommandProcessor(std::size_t byteBudget) : m_budget(byteBudget) {}

void DiskCommandProcessor::DropFirst() {
    wxList::compatibility_iterator first = m_commands.GetFirst();
    if (m_lastSavedCommand == first)
        m_lastSavedCommand = wxList::compatibility_iterator();
    delete static_cast<wxCommand*>(first->GetData());
    m_commands.Erase(first);
    m_baseState = m_steps.front().state;
    m_bytes -= m_steps.front().bytes;
    m_steps.pop_front();
    --m_done;
}

void DiskCommandProcessor::DropLast() {
    wxList::compatibility_iterator last = m_commands.GetLast();
    if (m_lastSavedCommand == last)
        m_lastSavedCommand = wxList::compatibility_iterator();
    delete static_cast<wxCommand*>(last->GetData());
    m_commands.Erase(last);
    m_bytes -= m_steps.back().bytes;
    m_steps.pop_back();
}

void DiskCommandProcessor::Store(wxCommand* command) {
    wxCHECK_RET(command, "no step to store");
    while (m_steps.size() > m_done)
        DropLast();
    m_commands.Append(command);
    m_steps.push_back({++m_lastState, BytesOf(command)});
    m_bytes += m_steps.back().bytes;
    m_done = m_steps.size();
    while (m_steps.size() > kMinSteps && m_bytes > m_budget)
        DropFirst();
    m_currentCommand = m_commands.GetLast();
    SetMenuStrings();
}

bool DiskCommandProcessor::Undo() {
    if (m_done == 0 || !wxCommandProcessor::Undo())
        return false;
    --m_done;
    return true;
}

bool DiskCommandProcessor::Redo() {
    if (m_done == m_steps.size() || !wxCommandProcessor::Redo())
        return false;
    ++m_done;
    return true;
}

void DiskCommandProcessor::ClearCommands() {
    wxCommandProcessor::ClearCommands();
    m_steps.clear();
    m_done = 0;
    m_bytes = 0;
    m_baseState = ++m_lastState;
    SetMenuStrings();
}

void DiskCommandProcessor::SetMenuStrings() {
    if (wxMenu* menu = GetEditMenu()) {
        menu->SetLabel(wxID_UNDO, UndoLabel());
        menu->Enable(wxID_UNDO, CanUndo());
        menu->SetLabel(wxID_REDO, RedoLabel());
        menu->Enable(wxID_REDO, CanRedo());
    }
}

wxString DiskCommandProcessor::UndoLabel() const {
    return StepLabel(doctext::kUndo, doctext::kUndoStep, CanUndo() ? GetCurrentCommand() : nullptr,
                     "Ctrl+Z");
}

wxString DiskCommandProcessor::RedoLabel() const {
    return StepLabel(doctext::kRedo, doctext::kRedoStep, GetRedoCommand(), "Ctrl+Y");
}

wxCommand* DiskCommandProcessor::GetRedoCommand() const {
    if (m_done >= m_steps.size())
        return nullptr;
    return static_cast<wxCommand*>(m_commands.Item(m_done)->GetData());
}

bool DiskCommandProcessor::IsDirty() const {
    return CurrentState() != m_savedState;
}

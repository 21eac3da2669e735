#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include <wx/cmdproc.h>

// The document's undo history: wx's command processor, holding the steps as long as their
// memory allows, and knowing exactly when the disk is back in the state last saved.
//
// Each state of the disk the history can reach has a number. wx marks the saved state by a
// list node, which cannot tell "before the first step" from "saved at a step since dropped",
// and forgets the saved state when a new step cuts off undone ones; a number can do neither.
class DiskCommandProcessor : public wxCommandProcessor {
public:
    // The newest kMinSteps steps are always kept; older ones while all the steps together hold
    // at most the byte budget. A step holds about the sectors it changed, so 100 steps that
    // each rewrite the largest disk (82 cylinders, 656 KiB) take some 66 MB.
    static constexpr std::size_t kMinSteps = 100;
    static constexpr std::size_t kByteBudget = 64u << 20;

    explicit DiskCommandProcessor(std::size_t byteBudget = kByteBudget);

    // Appends a step that has already been made (Submit would make it again). The steps that
    // were undone are dropped, then the oldest ones past the budget.
    void Store(wxCommand* command) override;
    bool Undo() override;
    bool Redo() override;
    // Forgets every step; the disk counts as changed since it was saved, as nothing shows
    // otherwise.
    void ClearCommands() override;
    // Labels the edit menu's Undo and Redo items (SetEditMenu) with the steps they would take
    // back or make again, in the user's language.
    void SetMenuStrings() override;
    // "元に戻す(&U)\tCtrl+Z", or with the step's name "元に戻す: 削除(&U)\tCtrl+Z".
    wxString UndoLabel() const;
    wxString RedoLabel() const;

    // The disk differs from the state last saved (or opened).
    bool IsDirty() const override;
    // The disk is now in the state of its file.
    void MarkSaved() { m_savedState = CurrentState(); }

    // The step Redo would make again; null when there is none.
    wxCommand* GetRedoCommand() const;
    std::size_t StepCount() const { return m_steps.size(); }
    std::size_t StoredBytes() const { return m_bytes; }

private:
    struct Step {
        std::uint64_t state; // the state the step leads to
        std::size_t bytes;
    };

    std::uint64_t CurrentState() const {
        return m_done == 0 ? m_baseState : m_steps[m_done - 1].state;
    }
    void DropFirst();
    void DropLast();

    std::size_t m_budget;
    std::deque<Step> m_steps; // beside wx's list of commands, in the same order
    std::size_t m_done = 0;   // steps applied: the first m_done of them
    std::size_t m_bytes = 0;
    std::uint64_t m_baseState = 0; // the state before the first kept step
    std::uint64_t m_savedState = 0;
    std::uint64_t m_lastState = 0;
};

#pragma once

#include <string>
#include <vector>

#include "doc/OutputPathDlg.h"

class DiskImage;

// The extract dialog: where one entry of the current directory goes and in which format (the
// command writes it). "すべて OK" accepts it and every later entry of the same run unseen.
class CExtractDlg : public COutputPathDlg {
public:
    explicit CExtractDlg(wxWindow* parent = nullptr);

    // The entry, for the checks OK makes before the dialog closes.
    int m_nEntry = 0;
    const DiskImage* m_pDiskImage = nullptr;
    std::string m_szEntryExt; // the extension of the path as the dialog received it
    bool m_bApplyToAll = false;

    bool TransferDataToWindow() override;
    // Shows the dialog, or, once "すべて OK" was chosen in this run, takes the proposal
    // unseen. wxID_OK: m_szPath and m_nFormat say where and how the entry goes.
    int RunModal();
    // Whether the path was taken without showing it ("すべて OK" earlier in the run): such a
    // name must replace nothing.
    bool WasUnseen() const { return m_bUnseen; }

    // The path proposed for entry `index` when the previous output (or the image) is at
    // previousPath.
    static std::string ProposePath(const DiskImage& disk, int index,
                                   const std::string& previousPath);

private:
    std::string BinExtension() const override { return m_szEntryExt; }
    void DoOK();

    bool m_bUnseen = false;
};

#pragma once

#include <string>

#include "doc/OutputPathDlg.h"

class DiskImage;

// The boot-extract dialog: where the disk's boot program goes and in which format (the
// command writes it).
class CBootExtractDlg : public COutputPathDlg {
public:
    explicit CBootExtractDlg(wxWindow* parent = nullptr);

    // The disk, for the checks OK makes before the dialog closes.
    const DiskImage* m_pDiskImage = nullptr;

    bool TransferDataToWindow() override;

    // The image's folder with the boot program's display text as the file name.
    static std::string ProposePath(const DiskImage& disk, const std::string& documentPath);

private:
    // The proposal has no extension, and BIN takes it away again.
    std::string BinExtension() const override { return std::string(); }
    void OnOK(wxCommandEvent& event);
};

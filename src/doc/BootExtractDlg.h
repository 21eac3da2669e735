#pragma once

#include <string>

#include "doc/OutputPathDlg.h"

class DiskImage;

// The boot-extract dialog: where the disk's boot program goes and in which format.
class CBootExtractDlg : public COutputPathDlg {
public:
    explicit CBootExtractDlg(wxWindow* parent = nullptr);

    const DiskImage* m_pDiskImage = nullptr;
    // The extraction's result once OK has called it, -1 before.
    int m_nResult = -1;

    bool TransferDataToWindow() override;

    // The boot-extract command: proposes the image's folder with the boot program's display
    // text as the file name, runs the dialog. extractFormat is the run's remembered format.
    static void ExtractBoot(wxWindow* parent, const DiskImage& disk,
                            const std::string& documentPath, int& extractFormat);
    static std::string ProposePath(const DiskImage& disk, const std::string& documentPath);

private:
    // The proposal has no extension, and BIN takes it away again.
    std::string BinExtension() const override { return std::string(); }
    void OnOK(wxCommandEvent& event);
};

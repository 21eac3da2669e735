#pragma once

#include <string>
#include <vector>

#include "doc/OutputPathDlg.h"

class DiskImage;

// The extract dialog: where one entry of the current directory goes and in which format.
// "すべて OK" accepts it and every later entry of the same run unseen.
class CExtractDlg : public COutputPathDlg {
public:
    explicit CExtractDlg(wxWindow* parent = nullptr);

    int m_nEntry = 0;
    const DiskImage* m_pDiskImage = nullptr;
    std::string m_szEntryExt; // the extension of the path as the dialog received it
    bool m_bApplyToAll = false;
    // The export's result once OK has called it, -1 before.
    int m_nResult = -1;

    bool TransferDataToWindow() override;
    // Shows the dialog, or, once "すべて OK" was chosen in this run, exports unseen.
    int RunModal();

    // The extract command for the given entries of the current directory, in this order.
    // The first proposal lies in the folder of documentPath; each later one in the folder
    // the previous entry went to. extractFormat is the run's remembered format index.
    static void ExtractEntries(wxWindow* parent, const DiskImage& disk,
                               const std::string& documentPath, const std::vector<int>& entries,
                               int& extractFormat);
    // The path proposed for entry `index` when the previous output (or the image) is at
    // previousPath.
    static std::string ProposePath(const DiskImage& disk, int index,
                                   const std::string& previousPath);

private:
    std::string BinExtension() const override { return m_szEntryExt; }
    void DoOK();

    // Exporting without showing the dialog: the name was never seen, so it replaces nothing.
    bool m_bUnseen = false;
};

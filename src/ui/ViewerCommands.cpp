#include "ui/ViewerCommands.h"

#include <wx/docview.h>
#include <wx/frame.h>
#include <wx/xrc/xmlres.h>

#include "doc/DarvexDoc.h"
#include "fs/DirEntry.h"
#include "ui/DarvexView.h"
#include "ui/FileViewerFrame.h"
#include "ui/SectorViewFrame.h"
#include "view/SectorView.h"

namespace {

CDarvexDoc* CurrentDoc(wxDocManager* manager) {
    return wxDynamicCast(manager->GetCurrentDocument(), CDarvexDoc);
}

// The directory entry of the list's current row; -1 when there is none.
int CurrentEntry(const CDarvexDoc* doc) {
    if (!doc || !doc->HasMzFileSystem())
        return -1;
    for (wxView* view : doc->GetViewsVector())
        if (const auto* list = dynamic_cast<const CDarvexView*>(view))
            return list->CurrentEntry();
    return -1;
}

int FirstSectorOfCurrent(const CDarvexDoc* doc) {
    const int entry = CurrentEntry(doc);
    if (entry < 0)
        return -1;
    unsigned char bytes[DirEntry::kBytes];
    doc->GetDisk().ReadDirEntry(bytes, entry);
    return FirstSectorOf(doc->GetDisk(), DirEntry(bytes));
}

} // namespace

namespace ViewerCommands {

void Bind(wxFrame* frame, wxDocManager* manager) {
    const int viewFile = XRCID("ID_VIEW_FILE");
    const int sectorView = XRCID("ID_SECTOR_VIEW");
    const int firstSector = XRCID("ID_VIEW_FIRST_SECTOR");
    frame->Bind(
        wxEVT_MENU,
        [manager](wxCommandEvent&) {
            CDarvexDoc* doc = CurrentDoc(manager);
            const int entry = CurrentEntry(doc);
            if (entry >= 0)
                CFileViewerFrame::Open(*doc, doc->GetDisk().GetCurrentDir(), entry);
        },
        viewFile);
    frame->Bind(
        wxEVT_UPDATE_UI,
        [manager](wxUpdateUIEvent& event) {
            const CDarvexDoc* doc = CurrentDoc(manager);
            const int entry = CurrentEntry(doc);
            event.Enable(entry >= 0 &&
                         CFileViewerFrame::HoldsFile(*doc, doc->GetDisk().GetCurrentDir(), entry));
        },
        viewFile);
    frame->Bind(
        wxEVT_MENU,
        [manager](wxCommandEvent&) {
            if (CDarvexDoc* doc = CurrentDoc(manager))
                CSectorViewFrame::Open(*doc);
        },
        sectorView);
    frame->Bind(
        wxEVT_UPDATE_UI,
        [manager](wxUpdateUIEvent& event) {
            const CDarvexDoc* doc = CurrentDoc(manager);
            event.Enable(doc && doc->IsLoaded() && SectorCount(doc->GetDisk()) > 0);
        },
        sectorView);
    frame->Bind(
        wxEVT_MENU,
        [manager](wxCommandEvent&) {
            CDarvexDoc* doc = CurrentDoc(manager);
            if (const int sector = FirstSectorOfCurrent(doc); sector >= 0)
                CSectorViewFrame::Open(*doc, sector);
        },
        firstSector);
    frame->Bind(
        wxEVT_UPDATE_UI,
        [manager](wxUpdateUIEvent& event) {
            event.Enable(FirstSectorOfCurrent(CurrentDoc(manager)) >= 0);
        },
        firstSector);
}

} // namespace ViewerCommands

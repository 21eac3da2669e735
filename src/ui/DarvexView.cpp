#include "ui/DarvexView.h"

#include <algorithm>
#include <set>

#include <wx/dnd.h>
#include <wx/listctrl.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DocText.h"
#include "doc/DocumentHost.h"
#include "fs/FileMode.h"
#include "fs/ListRow.h"
#include "fs/SjisText.h"
#include "ui/EntryDropTarget.h"
#include "ui/LeftView.h"
#include "ui/ListActions.h"
#include "ui/TablePrintout.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDarvexView, wxView);

// clang-format off
wxBEGIN_EVENT_TABLE(CDarvexView, wxView)
    EVT_MENU(ID_RENAME_FILE, CDarvexView::OnRename)
    EVT_UPDATE_UI(ID_RENAME_FILE, CDarvexView::OnUpdateRename)
wxEND_EVENT_TABLE();
// clang-format on

namespace {

struct Column {
    const char* title;
    int width;
};

constexpr Column kColumnTable[CDarvexView::kColumns] = {
    {N_("File name"), 160}, {N_("Mode"), 60},         {N_("Attribute"), 60},
    {N_("File size"), 80},  {N_("Load address"), 80}, {N_("Execution address"), 80},
    {N_("Date"), 80},       {N_("Start sector"), 80},
};

} // namespace

CDarvexView::CDarvexView() = default;
CDarvexView::~CDarvexView() = default;

void CDarvexView::InsertColumns(wxListCtrl* list) {
    if (list->GetColumnCount() != 0)
        return;
    // GTK's header font is larger than the one the widths were chosen for: a column is at
    // least as wide as its title.
    const int padding = list->GetTextExtent("MM").x;
    for (int c = 0; c < kColumns; ++c) {
        const wxString title = Tr(kColumnTable[c].title);
        const int width = std::max(kColumnTable[c].width, list->GetTextExtent(title).x + padding);
        list->InsertColumn(c, title, wxLIST_FORMAT_LEFT, width);
    }
}

bool CDarvexView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags))
        return false;
    DocumentHost* host = AttachViewToHost(this);
    if (!host)
        return false;
    m_pList = host->GetListCtrl();
    // The control lives as long as the frame: its columns are made once.
    InsertColumns(m_pList);
    m_pList->Bind(wxEVT_SET_FOCUS, &CDarvexView::OnFocus, this);
    m_pList->Bind(wxEVT_LIST_BEGIN_DRAG, &CDarvexView::OnBeginDrag, this);
    m_pActions = std::make_unique<ListActions>(*this);
    // A list that kept the focus from the document before gets no focus event: its commands
    // (rename, extract) must reach this view all the same.
    if (wxWindow::FindFocus() == m_pList)
        Activate(true);
    return true;
}

bool CDarvexView::OnClose(bool) {
    return true;
}

void CDarvexView::OnDraw(wxDC*) {}

void CDarvexView::OnUpdate(wxView*, wxObject* hint) {
    const DocHint::Kind kind = DocHint::KindOf(hint);
    if (kind == DocHint::None)
        return;
    // A change to the listed entries keeps what the user selected; another directory or
    // another disk starts afresh.
    if (kind != DocHint::UsageChanged)
        FillList(kind == DocHint::EntriesChanged);
    if (kind != DocHint::DirectoryListed) {
        auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
        if (auto* host = dynamic_cast<DocumentHost*>(GetFrame()); host && doc)
            host->SetSpaceText(doc->SpaceText());
    }
}

ListOrder CDarvexView::GetOrder() const {
    ListOrder order;
    const int column = m_pList->GetSortIndicator();
    if (column >= 0 && column < kColumns) {
        order.column = column;
        order.ascending = m_pList->IsAscendingSortIndicator();
    }
    return order;
}

void CDarvexView::SortByColumn(int column) {
    if (column < 0 || column >= kColumns)
        return;
    m_pList->ShowSortIndicator(column, m_pList->GetUpdatedAscendingSortIndicator(column));
    Refill();
}

void CDarvexView::Refill() {
    FillList(true);
}

void CDarvexView::FillList(bool keepSelection) {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    const DiskImage* disk = doc && doc->IsLoaded() ? &doc->GetDisk() : nullptr;
    const int dirSector = disk ? disk->GetCurrentDir() : -1;
    // Rows are remembered by their entries: a refill may put them elsewhere.
    std::set<int> selected;
    int focused = -1;
    if (keepSelection && disk == m_pListedDisk && dirSector == m_nListedDir) {
        for (long row = -1;
             (row = m_pList->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1;)
            if (row < m_nRows)
                selected.insert(m_nListEntry[row]);
        const long current = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        if (current >= 0 && current < m_nRows)
            focused = m_nListEntry[current];
    }
    m_pListedDisk = disk;
    m_nListedDir = dirSector;

    // Only the report view holds the other columns' texts: fill in it, show in the user's.
    const long style = m_pList->GetWindowStyleFlag() & wxLC_MASK_TYPE;
    if (style != wxLC_REPORT)
        m_pList->SetSingleStyle(wxLC_REPORT);
    m_pList->DeleteAllItems();
    m_nRows = 0;
    // A disk without an MZ file system lists nothing: its entries would be noise.
    if (doc && doc->HasMzFileSystem()) {
        std::vector<ListRow> rows = ListDirectory(*disk, dirSector, ListWhat::FilesAndDirectories);
        SortListRows(rows, GetOrder());
        for (const ListRow& r : rows) {
            if (m_nRows >= kListRows)
                break;
            m_pList->InsertItem(m_nRows, wxString::FromUTF8(SjisToTerminal(r.columns[0])));
            for (int c = 1; c < kColumns; ++c)
                m_pList->SetItem(m_nRows, c, wxString::FromUTF8(r.columns[c]));
            m_nListEntry[m_nRows] = r.entryIndex;
            if (selected.count(r.entryIndex))
                m_pList->SetItemState(m_nRows, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            if (r.entryIndex == focused)
                m_pList->SetItemState(m_nRows, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
            ++m_nRows;
        }
    }
    if (style != wxLC_REPORT) {
        m_pList->SetSingleStyle(style);
        m_pList->SendSizeEvent();
    }
    if (const long row = RowOfEntry(focused); row >= 0)
        m_pList->EnsureVisible(row);
}

DirEntry CDarvexView::EntryOfRow(long row) const {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    if (!doc || !doc->IsLoaded() || row < 0 || row >= m_nRows)
        return DirEntry();
    const std::array<DirEntry, 64> entries =
        ReadDirectory(doc->GetDisk(), doc->GetDisk().GetCurrentDir());
    return entries[m_nListEntry[row]];
}

bool CDarvexView::IsDirectoryRow(long row) const {
    return FileMode::BodyLayoutOf(EntryOfRow(row).Mode()) == BodyLayout::SubDirectory;
}

long CDarvexView::RowOfEntry(int entryIndex) const {
    for (int row = 0; row < m_nRows; ++row)
        if (m_nListEntry[row] == entryIndex)
            return row;
    return -1;
}

std::vector<int> CDarvexView::SelectedEntries() const {
    std::vector<int> entries;
    for (long row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = m_pList->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        if (row < m_nRows && !IsDirectoryRow(row))
            entries.push_back(m_nListEntry[row]);
    }
    return entries;
}

int CDarvexView::CurrentEntry() const {
    long row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if (row < 0)
        row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row >= 0 && row < m_nRows ? m_nListEntry[row] : -1;
}

wxPrintout* CDarvexView::OnCreatePrintout() {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    PrintTable table;
    table.title = doc ? doc->GetUserReadableName() : wxString();
    if (doc) {
        const wxString file = doc->GetFilename();
        table.heading.push_back(file.empty() ? doc->GetUserReadableName() : file);
    }
    if (doc && doc->IsLoaded()) {
        table.heading.push_back(wxString::Format(
            Tr("Disk name: %s"), wxString::FromUTF8(SjisToTerminal(doc->GetDisk().GetDiskName()))));
        if (doc->HasMzFileSystem()) {
            wxString path;
            for (wxView* view : doc->GetViewsVector())
                if (const auto* tree = dynamic_cast<const CLeftView*>(view))
                    path = tree->PathOf(doc->GetDisk().GetCurrentDir());
            table.heading.push_back(wxString::Format(Tr("Directory: %s"), path));
            table.heading.push_back(wxString::Format(Tr("Used: %s bytes"), doc->SpaceText()));
        } else {
            table.heading.push_back(doc->SpaceText());
        }
    }
    // What the list shows, in its order.
    for (int c = 0; c < m_pList->GetColumnCount(); ++c) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        m_pList->GetColumn(c, column);
        table.columns.push_back(column.GetText());
    }
    for (long r = 0; r < m_pList->GetItemCount(); ++r) {
        std::vector<wxString> cells;
        for (int c = 0; c < m_pList->GetColumnCount(); ++c)
            cells.push_back(m_pList->GetItemText(r, c));
        table.rows.push_back(std::move(cells));
    }
    return new CTablePrintout(std::move(table));
}

void CDarvexView::OnFocus(wxFocusEvent& event) {
    Activate(true);
    event.Skip();
}

// Rows dragged out: exported files for a file manager, the entries themselves for another
// window of the program.
void CDarvexView::OnBeginDrag(wxListEvent&) {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    if (!doc)
        return;
    DiskTransfer::Offer offer = doc->OfferEntries(SelectedEntries(), false);
    if (!offer.data)
        return;
    const CEntryDropTarget::OwnDrag own(doc, doc->GetDisk().GetCurrentDir());
    wxDropSource source(*offer.data, m_pList);
    source.DoDragDrop(wxDrag_CopyOnly);
}

void CDarvexView::OnRename(wxCommandEvent&) {
    m_pActions->StartRename();
}

void CDarvexView::OnUpdateRename(wxUpdateUIEvent& event) {
    event.Enable(m_pActions->CanRename());
}

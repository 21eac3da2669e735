#pragma once

#include <vector>

#include <wx/font.h>
#include <wx/print.h>
#include <wx/string.h>

// What a printout shows: heading lines at the top of every page, then a table under its column
// titles, or a listing (no column titles, one column of lines in the listing font, long lines
// carried on to the next line); each page has its number in the footer.
struct PrintTable {
    wxString title; // the print job's name
    std::vector<wxString> heading;
    std::vector<wxString> columns; // empty for a listing
    std::vector<std::vector<wxString>> rows;
};

// Lays a PrintTable out on the pages the printer or the preview gives: as many rows a page as
// fit between the heading and the footer; a table wider than the page is printed smaller.
class CTablePrintout : public wxPrintout {
public:
    explicit CTablePrintout(PrintTable table);

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) override;
    bool OnPrintPage(int page) override;

    const PrintTable& GetTable() const { return m_table; }
    int GetPageCount() const { return m_pages; }
    // The lines each row takes on paper, after long listing lines are carried on.
    const std::vector<std::vector<wxString>>& GetPrintedRows() const { return m_printed; }

private:
    bool IsListing() const { return m_table.columns.empty(); }
    wxFont BodyFont() const;
    void Layout();

    PrintTable m_table;
    std::vector<std::vector<wxString>> m_printed;
    std::vector<int> m_columnX; // left edge of each column, from the left margin
    double m_scale = 1.0;       // below 1 where the table is wider than the page
    int m_margin = 0;           // in the scaled units the page is drawn in
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    int m_lineHeight = 1;
    int m_rowsPerPage = 1;
    int m_pages = 1;
    bool m_laidOut = false;
};

#include "ui/TablePrintout.h"

#include <algorithm>
#include <cmath>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "doc/DocText.h"
#include "ui/FixedFont.h"

namespace {

constexpr int kPoints = 9;
constexpr double kMarginMm = 15.0;
constexpr double kMmPerInch = 25.4;
constexpr int kDefaultPpi = 96;

} // namespace

CTablePrintout::CTablePrintout(PrintTable table)
    : wxPrintout(table.title), m_table(std::move(table)) {}

wxFont CTablePrintout::BodyFont() const {
    if (IsListing())
        return FixedPitchFont(kPoints);
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(kPoints);
    return font;
}

// Units are the screen's pixels, which MapScreenSizeToPage maps onto the page, divided by the
// scale: the table is laid out at its natural size on a page that much larger.
void CTablePrintout::Layout() {
    int ppiX = 0, ppiY = 0, printerX = 0, printerY = 0, pixelsX = 0, pixelsY = 0;
    GetPPIScreen(&ppiX, &ppiY);
    GetPPIPrinter(&printerX, &printerY);
    GetPageSizePixels(&pixelsX, &pixelsY);
    if (ppiX <= 0 || ppiY <= 0)
        ppiX = ppiY = kDefaultPpi;
    if (printerX <= 0 || printerY <= 0) {
        printerX = ppiX;
        printerY = ppiY;
    }
    const double pageW = static_cast<double>(pixelsX) * ppiX / printerX;
    const double pageH = static_cast<double>(pixelsY) * ppiY / printerY;
    const double margin = kMarginMm * ppiX / kMmPerInch;

    wxBitmap scratch(8, 8);
    wxMemoryDC dc(scratch);
    const wxFont body = BodyFont();
    dc.SetFont(body.Bold());
    const int boldHeight = dc.GetCharHeight();
    dc.SetFont(body);
    m_lineHeight =
        std::max(1, static_cast<int>(std::lround(std::max(dc.GetCharHeight(), boldHeight) * 1.25)));
    const double usableW = std::max(1.0, pageW - 2 * margin);

    m_printed.clear();
    m_columnX.clear();
    m_scale = 1.0;
    if (IsListing()) {
        // A line wider than the page goes on in the next one, cut where the width runs out.
        for (const std::vector<wxString>& row : m_table.rows) {
            wxString rest = row.empty() ? wxString() : row[0];
            std::vector<wxString> lines;
            do {
                wxArrayInt widths;
                dc.GetPartialTextExtents(rest, widths);
                size_t fit = 0;
                while (fit < widths.size() && widths[fit] <= usableW)
                    ++fit;
                fit = std::max<size_t>(fit, rest.empty() ? 0 : 1);
                lines.push_back(rest.Left(fit));
                rest = rest.Mid(fit);
            } while (!rest.empty());
            m_printed.push_back(std::move(lines));
        }
        m_columnX = {0};
    } else {
        const int gap = dc.GetTextExtent("MM").x;
        std::vector<int> widths(m_table.columns.size(), 0);
        for (size_t c = 0; c < widths.size(); ++c) {
            dc.SetFont(body.Bold());
            widths[c] = dc.GetTextExtent(m_table.columns[c]).x;
            dc.SetFont(body);
            for (const std::vector<wxString>& row : m_table.rows)
                if (c < row.size())
                    widths[c] = std::max(widths[c], dc.GetTextExtent(row[c]).x);
        }
        int x = 0;
        for (int w : widths) {
            m_columnX.push_back(x);
            x += w + gap;
        }
        const double tableW = std::max(1, x - gap);
        m_scale = std::min(1.0, usableW / tableW);
        m_printed.assign(m_table.rows.size(), {wxString()}); // one line a row
    }

    m_pageWidth = static_cast<int>(pageW / m_scale);
    m_pageHeight = static_cast<int>(pageH / m_scale);
    m_margin = static_cast<int>(margin / m_scale);
    const int headingLines = static_cast<int>(m_table.heading.size()) + (IsListing() ? 0 : 1);
    // Heading and column titles, a half line below them, the footer's two lines.
    const int fixed = headingLines * m_lineHeight + m_lineHeight / 2 + 2 * m_lineHeight;
    const int bodyHeight = m_pageHeight - 2 * m_margin - fixed;
    m_rowsPerPage = std::max(1, bodyHeight / m_lineHeight);

    // Rows are not split across pages; a listing's carried-on lines may be.
    int lines = 0;
    for (const std::vector<wxString>& row : m_printed)
        lines += static_cast<int>(row.size());
    m_pages = std::max(1, (lines + m_rowsPerPage - 1) / m_rowsPerPage);
    m_laidOut = true;
}

void CTablePrintout::OnPreparePrinting() {
    Layout();
}

bool CTablePrintout::HasPage(int page) {
    if (!m_laidOut)
        Layout();
    return page >= 1 && page <= m_pages;
}

void CTablePrintout::GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) {
    if (!m_laidOut)
        Layout();
    *minPage = *selFrom = 1;
    *maxPage = *selTo = m_pages;
}

bool CTablePrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (!dc)
        return false;
    if (!m_laidOut)
        Layout();
    if (page < 1 || page > m_pages)
        return false;
    MapScreenSizeToPage();
    double sx = 1, sy = 1;
    dc->GetUserScale(&sx, &sy);
    dc->SetUserScale(sx * m_scale, sy * m_scale);
    dc->SetTextForeground(*wxBLACK);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    const wxFont body = BodyFont();
    int y = m_margin;
    for (size_t i = 0; i < m_table.heading.size(); ++i) {
        dc->SetFont(i == 0 ? body.Bold() : body);
        dc->DrawText(m_table.heading[i], m_margin, y);
        y += m_lineHeight;
    }
    if (!IsListing()) {
        dc->SetFont(body.Bold());
        for (size_t c = 0; c < m_table.columns.size(); ++c)
            dc->DrawText(m_table.columns[c], m_margin + m_columnX[c], y);
        y += m_lineHeight;
        dc->SetPen(*wxBLACK_PEN);
        dc->DrawLine(m_margin, y - 2, m_pageWidth - m_margin, y - 2);
    }
    y += m_lineHeight / 2;

    dc->SetFont(body);
    const int first = (page - 1) * m_rowsPerPage;
    int line = 0;
    for (size_t r = 0; r < m_printed.size() && line < first + m_rowsPerPage; ++r) {
        for (size_t l = 0; l < m_printed[r].size(); ++l, ++line) {
            if (line < first || line >= first + m_rowsPerPage)
                continue;
            if (IsListing()) {
                dc->DrawText(m_printed[r][l], m_margin, y);
            } else {
                const std::vector<wxString>& cells = m_table.rows[r];
                for (size_t c = 0; c < cells.size() && c < m_columnX.size(); ++c)
                    dc->DrawText(cells[c], m_margin + m_columnX[c], y);
            }
            y += m_lineHeight;
        }
    }

    const wxString footer = wxString::Format(Tr("Page %d of %d"), page, m_pages);
    const wxSize size = dc->GetTextExtent(footer);
    dc->DrawText(footer, (m_pageWidth - size.x) / 2, m_pageHeight - m_margin - m_lineHeight);
    return true;
}

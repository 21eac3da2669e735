#pragma once

class wxDocManager;
class wxFrame;

// The main window's commands that open windows of their own over the document: the file
// viewer for the list's current row (also what Enter and a double-click on a file row ask
// for), the sector view, and the sector view at the current file's first sector.
namespace ViewerCommands {

void Bind(wxFrame* frame, wxDocManager* manager);

} // namespace ViewerCommands

#pragma once

#include <wx/string.h>

// The texts the disk commands show, looked up by result code. One place in src/doc that
// reaches the core's message table.
namespace CommandMessages {

wxString ErrorCaption();
wxString ImportFailed(int importResult);
wxString AddFileTooLarge();
wxString BootFileTooLarge();
wxString RegisterBootFailed();
wxString ExtractBootFailed();
wxString ExportFailed();
wxString NameNotEncodable();
wxString DeleteQuestion();
wxString DeleteCaption();

} // namespace CommandMessages

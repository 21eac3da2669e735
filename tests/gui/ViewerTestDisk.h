#pragma once

#include <filesystem>
#include <string>

class CFileViewerFrame;
class CSectorViewFrame;

// The file viewer tests' disk and helpers.
namespace guitest {

// A disk of two BTX programs of the test data (HELLOWORLD, SD.BAS), one whose second record
// breaks the chain of lines (BROKEN), a BSD text with kana and kanji (README), an OBJ file
// (PROG) and a sub-directory (SUB), and a second disk holding a text (OTHER), saved at
// folder/name.
std::filesystem::path WriteViewerDisk(const std::filesystem::path& folder,
                                      const std::string& name = "viewer.d88");
// Makes the list row showing name the current one; false when no row shows it.
bool MakeCurrentRow(const std::string& name);
// The viewer the View File command opens for that row; null when none opens.
CFileViewerFrame* OpenViewer(const std::string& name);
// The document's sector view; null when it has none.
CSectorViewFrame* OpenSectorView();
int ViewerCount();

} // namespace guitest

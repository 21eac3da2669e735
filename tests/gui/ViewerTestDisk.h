#pragma once

#include <filesystem>
#include <string>

class CFileViewerFrame;
class CSectorViewFrame;

// A disk for the viewer tests, built with the core's import: two BTX programs of the test data
// (HELLOWORLD and SD.BAS), a BTX program whose second record breaks the chain of lines
// (BROKEN), a BSD text with kana and kanji (README), an OBJ file (PROG) and an empty
// sub-directory (SUB).
namespace guitest {

std::filesystem::path WriteViewerDisk(const std::filesystem::path& folder,
                                      const std::string& name = "viewer.d88");
// Makes the list row showing name the current one; false when no row shows it.
bool MakeCurrentRow(const std::string& name);
// The document's open file viewer and sector view; null when there is none.
CFileViewerFrame* OpenViewer(const std::string& name);
CSectorViewFrame* OpenSectorView();
// How many file viewers the document has open.
int ViewerCount();

} // namespace guitest

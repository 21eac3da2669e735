#pragma once

#include <string>
#include <vector>

class DiskImage;
class wxWindow;

// The disk commands of the Edit menu between the document's handlers and the dialogs: each
// asks the user, makes the core calls and reports, so that the document only routes,
// refreshes its panes and marks itself modified.
class DiskCommands {
public:
    enum class Outcome {
        Cancelled, // nothing chosen or confirmed: nothing to refresh
        Unchanged, // the command ran but the disk is as it was
        Changed,   // the disk changed
    };

    // Adds one host file to the current directory.
    static Outcome AddFile(wxWindow* owner, DiskImage& disk);
    // Makes a host file the boot program; bootMachine is the run's remembered machine code.
    static Outcome RegisterBoot(wxWindow* owner, DiskImage& disk, int& bootMachine);
    // Deletes the given entries of the current directory after one question.
    static Outcome DeleteFiles(wxWindow* owner, DiskImage& disk, const std::vector<int>& entries);
    // Extracts the given entries of the current directory, one dialog each.
    static void ExtractFiles(wxWindow* owner, const DiskImage& disk,
                             const std::string& documentPath, const std::vector<int>& entries,
                             int& extractFormat);
    static void ExtractBoot(wxWindow* owner, const DiskImage& disk, const std::string& documentPath,
                            int& extractFormat);
};

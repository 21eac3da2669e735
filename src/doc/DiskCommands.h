#pragma once

#include <string>
#include <vector>

class DiskImage;
class wxWindow;

// The document's disk commands: each asks the user (the dialogs only collect values and return
// them), makes the one core call and reports its outcome with the core's message, so that the
// document only routes, marks itself modified and tells its views.
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
    // Extracts the given entries of the current directory, in this order, one dialog each.
    // The first proposal lies in the folder of documentPath; each later one in the folder the
    // previous entry went to. extractFormat is the run's remembered format index.
    static void ExtractFiles(wxWindow* owner, const DiskImage& disk,
                             const std::string& documentPath, const std::vector<int>& entries,
                             int& extractFormat);
    static void ExtractBoot(wxWindow* owner, const DiskImage& disk, const std::string& documentPath,
                            int& extractFormat);

    // The add-file command once the host file is chosen: reads what the dialog proposes from
    // the file, refuses files that cannot be read or are too large, runs the dialog, imports.
    // True when the file was stored.
    static bool AddHostFile(wxWindow* owner, DiskImage& disk, const std::string& path);
    // The boot-register command once the host file is chosen; bootMachine changes only on OK.
    // True when the boot program was registered.
    static bool RegisterHostFile(wxWindow* owner, DiskImage& disk, const std::string& path,
                                 int& bootMachine);
};

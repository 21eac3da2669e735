#pragma once

#include <string>

#include "host/Fd.h"

// The private folder of one running desktop program for the files it hands to other programs:
// a file manager takes files, not bytes, so rows dragged out or copied to the clipboard are
// exported here first. All instances keep their folders side by side in one base folder of the
// user's ($XDG_RUNTIME_DIR/darvex, which the session also empties at logout):
// - an instance holds a lock on the file "lock" inside its folder while it runs, so a folder
//   whose lock is free belongs to an instance that has ended, however it ended (killed too);
// - a new TransferFolder removes such folders; a TransferFolder being destroyed removes its own;
// - the base folder's own "lock" keeps a new instance's folder from being swept before it is
//   locked.
// Only real folders owned by the user are read or removed; links are never followed.
class TransferFolder {
public:
    // Removes the folders of the instances that have ended; makes nothing yet.
    explicit TransferFolder(std::string base);
    ~TransferFolder();
    TransferFolder(const TransferFolder&) = delete;
    TransferFolder& operator=(const TransferFolder&) = delete;

    // $XDG_RUNTIME_DIR/darvex; without that variable a folder of the user's own in the
    // temporary folder ($TMPDIR or /tmp).
    static std::string DefaultBase();

    // A new empty folder for one drag or copy, inside this instance's folder (made on first
    // use); empty when it cannot be made, with the errno in sysError.
    std::string NewFolder(int* sysError = nullptr);
    // Removes a folder NewFolder gave, with everything in it.
    void Remove(const std::string& folder);

    const std::string& Base() const { return m_base; }
    // This instance's folder; empty until the first NewFolder.
    const std::string& Own() const { return m_own; }

private:
    bool PrepareBase(int* sysError);
    bool MakeOwn(int* sysError);
    void SweepEnded();

    std::string m_base;
    std::string m_own;
    Fd m_lock; // held while this instance runs
    int m_next = 0;
};

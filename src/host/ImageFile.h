#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/AtomicFile.h"
#include "host/Fd.h"
#include "host/ImageFileError.h"

class DiskImage;

// What identifies one state of a file on disk: a save can tell whether the file it read was
// replaced or changed since (another program saved over it).
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;

    bool operator==(const FileStamp&) const = default;
};

// How an image file read or write ended. The message table turns it into text:
// UiMessage(error) and CliMessage(error, sysError, fileBytes, folder) (host/ImageFileError.h).
struct ImageFileStatus {
    ImageFileError error = ImageFileError::None;
    int sysError = 0;            // errno of the failing call, 0 when none
    std::uint64_t fileBytes = 0; // the length of a file refused as too large
    std::string path;            // the folder a temporary file could not be created in
                                 // (CannotCreate), the copy kept beside the image (CopyKept)
    bool otherLinks = false;     // written, but the file had more names (hard links) that
                                 // still show the old disk

    bool Ok() const { return error == ImageFileError::None; }
    std::string CliMessage() const;
    std::string UiMessage() const;
};

// One read-change-write of an image file. Open takes an exclusive flock on the file and
// makes sure the locked file is still the one at the path (a writer that renamed a new file
// over it meanwhile means: open and lock again); a lock held elsewhere is waited for a few
// seconds, then the open fails with InUse. Load reads through the locked descriptor and Save
// writes the file before the lock is let go with the session.
//
// A symbolic link at the path is resolved: the link stays, its target is replaced; a dangling
// or looping link is refused. Only regular files are read or written. A file marked read-only
// is written only when the caller forces it. The file is replaced (AtomicFile::Replace) when
// its owner and group can be kept; the new file then takes the old one's mode, owner, group
// and extended attributes. Another user's file that we may write is rewritten in place
// (AtomicFile::Rewrite) instead: replacing it would give it to us.
class ImageFileSession {
public:
    static constexpr int kDefaultWaitMs = 3000;
    // The environment variable that sets the lock wait in milliseconds (0 to 600000).
    static constexpr const char* kWaitVariable = "DARVEX_LOCK_WAIT_MS";

    ImageFileSession() = default;
    ~ImageFileSession();
    ImageFileSession(const ImageFileSession&) = delete;
    ImageFileSession& operator=(const ImageFileSession&) = delete;

    // How long Open waits for a lock held elsewhere: kWaitVariable when it holds a number in
    // range, kDefaultWaitMs otherwise.
    static int DefaultWaitMs();

    // mayCreate: a path where no file is yet is fine (Save creates it); otherwise CannotRead.
    // waitMs < 0: DefaultWaitMs().
    ImageFileStatus Open(const std::string& path, bool mayCreate = false, int waitMs = -1);
    ImageFileStatus Load(DiskImage& disk, FileStamp* stamp = nullptr);
    // force: write an image marked read-only all the same.
    ImageFileStatus Save(const DiskImage& disk, FileStamp* stamp = nullptr, bool force = false);
    // The state of the locked file now; none when there is no file yet. Compared with the
    // state a document was read in, it tells whether another program wrote the file since,
    // with no writer able to come in between.
    std::optional<FileStamp> LockedStamp() const;
    const std::string& Target() const { return m_target; }

private:
    std::string m_target; // the file replaced: the path, or a link's resolved target
    Fd m_fd;              // locked; none when the file does not exist yet
};

// Disk image files on the host: read as D88 whatever the extension, always written as D88, and
// written so that the old file stays whole until the new one is complete.
class ImageFile {
public:
    // No real disk comes near this; it keeps a wrong argument from filling memory.
    static constexpr std::size_t kMaxImageFileBytes = 64u << 20;

    // Reads path into disk; disk is unchanged on failure. stamp (when given) receives the
    // state of the file that was read.
    static ImageFileStatus Load(const std::string& path, DiskImage& disk,
                                FileStamp* stamp = nullptr);
    // Saves disk as D88 over path under the writers' lock (ImageFileSession); stamp receives
    // the new file's state. force: write over a file marked read-only all the same.
    static ImageFileStatus Save(const std::string& path, const DiskImage& disk,
                                FileStamp* stamp = nullptr, bool force = false);
    // The state of the file at path now (a symbolic link followed); none when there is none.
    static std::optional<FileStamp> CurrentStamp(const std::string& path);

    // Save with the failure given as the English message.
    static bool Write(const std::string& path, const DiskImage& disk, std::string& reason,
                      bool force = false);
};

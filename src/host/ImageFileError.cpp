#include "host/ImageFileError.h"

#include <cstring>

#include "fs/Messages.h"
#include "fs/Translation.h"

namespace {

std::string Tr(const char* msgid) {
    return Translate(msgid);
}

std::string WithErrno(std::string text, int sysError) {
    if (sysError != 0)
        text += std::string(": ") + std::strerror(sysError);
    return text;
}

} // namespace

std::string UiMessage(ImageFileError error) {
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
    case ImageFileError::ShrankWhileRead:
    case ImageFileError::TooLarge:
    case ImageFileError::NotD88:
        return UiMessage(LoadResult::NotAContainer);
    case ImageFileError::NotRegular:
        return Tr(N_("This is not a regular file (a device, FIFO, socket or folder)."));
    case ImageFileError::BrokenLink:
        return Tr(N_("No file lies at the end of the symbolic link."));
    case ImageFileError::ReadOnly:
        return Tr(N_("The disk image is read-only and cannot be overwritten. Save it with "
                     "\"Save As\"."));
    case ImageFileError::NotOwner:
        return Tr(N_("The disk image is another user's file, who has not allowed writing it."));
    case ImageFileError::CopyKept:
        return Tr(N_("The disk image could not be saved. The file may be damaged. A copy of its "
                     "former content was left in the same folder."));
    case ImageFileError::NotMzFsToRead:
        return UiMessage(ChangeRefusal::NotMzFs, 1);
    case ImageFileError::InUse:
        return Tr(N_("The disk image is in use by another program."));
    case ImageFileError::NoImage:
    case ImageFileError::CannotCreate:
    case ImageFileError::CannotWrite:
    case ImageFileError::CannotReplace:
        break;
    }
    return Tr(N_("The disk image could not be saved."));
}

std::string CliMessage(ImageFileError error, int sysError, std::uint64_t fileBytes,
                       std::string_view path) {
    const auto cannotWrite = [sysError] { return WithErrno(Tr(N_("cannot write")), sysError); };
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
        return Tr(N_("cannot read the file"));
    case ImageFileError::ShrankWhileRead:
        return Tr(N_("another program cut the file short while it was read; nothing was "
                     "changed"));
    case ImageFileError::NotRegular:
        return Tr(N_("not a regular file (a device, FIFO, socket or folder); refusing to "
                     "replace it"));
    case ImageFileError::BrokenLink:
        return WithErrno(Tr(N_("a symbolic link that leads to no file")), sysError);
    case ImageFileError::InUse:
        return Tr(N_("the image is in use by another program"));
    case ImageFileError::TooLarge:
        return FormatText(Tr(N_("the file is too large for a disk image (%s bytes, at most %s)")),
                          {std::to_string(fileBytes), std::to_string(64u << 20)});
    case ImageFileError::NotD88:
        return CliMessage(LoadResult::NotAContainer);
    case ImageFileError::NotMzFsToRead:
        return Tr(N_("not an MZ disk file system (--force reads it anyway)"));
    case ImageFileError::NoImage:
        return Tr(N_("no disk image to save"));
    case ImageFileError::CannotCreate:
        return WithErrno(FormatText(Tr(N_("cannot create a temporary file in %s")), {path}),
                         sysError);
    case ImageFileError::CannotWrite:
        return cannotWrite();
    case ImageFileError::CannotReplace:
        return WithErrno(Tr(N_("cannot replace the file")), sysError);
    case ImageFileError::ReadOnly:
        return Tr(N_("the image is read-only"));
    case ImageFileError::NotOwner:
        return Tr(N_("the file belongs to another user and may not be written; replacing it "
                     "would take it from its owner"));
    case ImageFileError::CopyKept:
        return FormatText(Tr(N_("%s; the image may be damaged: a whole copy of it was kept in %s")),
                          {cannotWrite(), path});
    }
    return cannotWrite();
}

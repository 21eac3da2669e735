#include "host/ImageFileError.h"

#include <cstring>

#include "fs/Messages.h"

namespace {

std::string WithErrno(std::string text, int sysError) {
    if (sysError != 0)
        text += std::string(": ") + std::strerror(sysError);
    return text;
}

} // namespace

std::string MessageJa(ImageFileError error) {
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
    case ImageFileError::ShrankWhileRead:
    case ImageFileError::TooLarge:
    case ImageFileError::NotD88:
        return MessageJa(LoadResult::NotAContainer);
    case ImageFileError::NotRegular:
        return "通常のファイルではありません (デバイス, FIFO, ソケットまたはフォルダ).";
    case ImageFileError::BrokenLink:
        return "シンボリックリンクの先にファイルがありません.";
    case ImageFileError::ReadOnly:
        return "ディスクイメージは読み出し専用のため, 上書き保存できません. "
               "「名前を付けて保存」で保存してください.";
    case ImageFileError::NotOwner:
        return "ディスクイメージはほかのユーザーのファイルで, 書き込みが許可されていません.";
    case ImageFileError::CopyKept:
        return "ディスクイメージを保存できませんでした. ファイルが壊れている可能性があります. "
               "元の内容の写しを同じフォルダに残しました.";
    case ImageFileError::NotMzFsToRead:
        return MessageJa(ChangeRefusal::NotMzFs, 1);
    case ImageFileError::InUse:
        return "ディスクイメージはほかのプログラムが使用中です.";
    case ImageFileError::NoImage:
    case ImageFileError::CannotCreate:
    case ImageFileError::CannotWrite:
    case ImageFileError::CannotReplace:
        break;
    }
    return "ディスクイメージを保存できませんでした.";
}

std::string MessageEn(ImageFileError error, int sysError, std::uint64_t fileBytes,
                      std::string_view path) {
    switch (error) {
    case ImageFileError::None:
        return {};
    case ImageFileError::CannotRead:
        return "cannot read the file";
    case ImageFileError::ShrankWhileRead:
        return "another program cut the file short while it was read; nothing was changed";
    case ImageFileError::NotRegular:
        return "not a regular file (a device, FIFO, socket or folder); refusing to replace it";
    case ImageFileError::BrokenLink:
        return WithErrno("a symbolic link that leads to no file", sysError);
    case ImageFileError::InUse:
        return "the image is in use by another program";
    case ImageFileError::TooLarge:
        return "the file is too large for a disk image (" + std::to_string(fileBytes) +
               " bytes, at most " + std::to_string(64u << 20) + ")";
    case ImageFileError::NotD88:
        return MessageEn(LoadResult::NotAContainer);
    case ImageFileError::NotMzFsToRead:
        return "not an MZ disk file system (--force reads it anyway)";
    case ImageFileError::NoImage:
        return "no disk image to save";
    case ImageFileError::CannotCreate:
        return WithErrno("cannot create a temporary file in " + std::string(path), sysError);
    case ImageFileError::CannotWrite:
        return WithErrno("cannot write", sysError);
    case ImageFileError::CannotReplace:
        return WithErrno("cannot replace the file", sysError);
    case ImageFileError::ReadOnly:
        return "the image is read-only";
    case ImageFileError::NotOwner:
        return "the file belongs to another user and may not be written; replacing it would "
               "take it from its owner";
    case ImageFileError::CopyKept:
        return WithErrno("cannot write", sysError) +
               "; the image may be damaged: a whole copy of it was kept in " + std::string(path);
    }
    return "cannot write";
}

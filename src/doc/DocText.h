#pragma once

// Names, titles and button labels of the desktop program. Messages are not here: they come
// from the core's tables (fs/Messages.h, host/ImageFileError.h) and doc/UiText.h.
namespace doctext {

inline constexpr const char* kAppName = "Darvex";
inline constexpr const char* kUntitled = "無題";
inline constexpr const char* kSaveAsTitle = "名前を付けて保存";

inline constexpr const char* kYes = "はい";
inline constexpr const char* kNo = "いいえ";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "キャンセル";

} // namespace doctext

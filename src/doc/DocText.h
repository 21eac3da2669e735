#pragma once

// The desktop program's own texts, in one place until the core's message table takes them.
namespace doctext {

inline constexpr const char* kAppName = "Darvex";
inline constexpr const char* kUntitled = "無題";
inline constexpr const char* kErrorCaption = "エラー";
inline constexpr const char* kNotD88 = "D88 ディスクイメージとして読み込めませんでした.";
inline constexpr const char* kReadOnly = "MZ のディスクではないため, 読み出し専用で開きます.";
inline constexpr const char* kLossOnSave =
    "保存すると, このディスクイメージの一部のセクタ情報は失われます.";
inline constexpr const char* kSaveChanges = "ディスクイメージ「%s」への変更を保存しますか?";
inline constexpr const char* kCannotRead = "ディスクイメージを読み込めませんでした.";
inline constexpr const char* kCannotSave = "ディスクイメージを保存できませんでした.";
inline constexpr const char* kChangedOnDisk =
    "ディスクイメージ「%s」は, "
    "開いた後でほかのプログラムによって変更されています.\n上書きしますか?";

inline constexpr const char* kSaveAsTitle = "名前を付けて保存";

inline constexpr const char* kYes = "はい";
inline constexpr const char* kNo = "いいえ";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "キャンセル";

} // namespace doctext

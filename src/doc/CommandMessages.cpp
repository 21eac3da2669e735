#include "doc/CommandMessages.h"

// Until the core's message table lands these are the texts of the commands.
namespace CommandMessages {

namespace {
wxString U(const char* utf8) {
    return wxString::FromUTF8(utf8);
}
} // namespace

wxString ErrorCaption() {
    return U("エラー");
}

wxString ImportFailed(int importResult) {
    const char* reason = "原因は不明です.";
    switch (importResult) {
    case 1:
        reason = "ディレクトリに空きがありません.";
        break;
    case 2:
    case 3:
        reason = "ファイルを読み込むことができません.";
        break;
    case 4:
        reason = "ビットマップの空きがありません.";
        break;
    case 5:
        reason = "同じファイル名がすでに存在します.";
        break;
    case 6:
        reason = "このモードでは 65535 バイトを超えるファイルは書き込めません.";
        break;
    default:
        break;
    }
    return U("ディスクイメージへのファイル書き込みに失敗しました. \n") + U(reason);
}

wxString AddFileTooLarge() {
    return U("書き込むファイルのサイズが大きすぎます.\n最大 512 KB までです.");
}
wxString BootFileTooLarge() {
    return U("書き込むファイルのサイズが大きすぎます.\n最大 65535 バイトまでです.");
}
wxString RegisterBootFailed() {
    return U("ブートプログラムの書き込みに失敗しました. ");
}
wxString ExtractBootFailed() {
    return U("ブートプログラムの取り出しに失敗しました. ");
}
wxString ExportFailed() {
    return U("ファイルの取り出しに失敗しました. ");
}
wxString NameNotEncodable() {
    return U("ファイル名に使用できない文字が含まれています.");
}
wxString DeleteQuestion() {
    return U("選択したファイルを削除してよろしいですか？\nOK またはキャンセルを選んでください。\n");
}
wxString DeleteCaption() {
    return U("ファイル削除");
}

} // namespace CommandMessages

#!/usr/bin/env python3
"""Writes src/base/messages.h: the engine's Japanese texts as Shift-JIS byte strings.

The engine keeps user-visible text in Shift-JIS; C++ sources are UTF-8, so the texts are kept
here in readable form and written out as escaped bytes. Run after editing the list.

With --test-header FILE it writes only the tests' table instead (each message beside its UTF-8
text), which the test build generates into its own tree.
"""
import pathlib
import sys

MESSAGES = [
    # Script errors.
    ("kMsgNoCommand", "存在しないコマンドを指定しました"),
    ("kMsgNoVariable", "存在しない変数を指定しました"),
    ("kMsgCursorLoad", "カーソルファイルが読み込めませんでした"),
    ("kMsgAssignUndeclared", "存在しない変数に代入しようとしました"),
    ("kMsgCasEof", "「.cas」の終わりの「.」がないままファイル終端に達しました"),
    ("kMsgSkpEof", "「.」がないままファイル終端に達しました"),
    ("kMsgLabelNotFound", "指定されたラベルが見つかりませんでした"),
    ("kMsgBadLineNumber", "指定された行番号は無効です"),
    ("kMsgCannotOpenFile", "ファイルが開けません"),
    ("kMsgSubJumpOtherFile", "「.sub」でのジャンプ先で他のファイルへジャンプしようとしました"),
    ("kMsgSubExitFailed", "「.sub exit」に失敗しました"),
    ("kMsgSubCallerOpen", "「.sub」の呼び出し元のファイルが開けません"),
    ("kMsgSubExitInvalid", "無効な「.sub exit」です"),
    ("kMsgNoChoices", "選択肢が登録されていないのに選択肢を表示しようとしました"),
    ("kMsgTooManyChoices", "選択肢の数が多すぎます"),
    ("kMsgSaveOpen", "セーブファイルが開けず、セーブできません"),
    ("kMsgLoadOpen", "セーブファイルが開けません"),
    ("kMsgLoadNoVariable", "セーブファイルに無い変数をしました"),
    ("kMsgDestInvalid", "コピー先の指定が不正です"),
    ("kMsgDestNoOffscreen", "コピー先に存在しないオフスクリーンを指定しました"),
    ("kMsgSrcNoOffscreen", "コピー元に存在しないオフスクリーンを指定しました"),
    ("kMsgSrcOpen", "コピー元のファイルを開けません"),
    ("kMsgTransitionNotScreen", "コピー先が「screen」でない場合トランジションは無効です"),
    ("kMsgSprColour", "「.spr」ではコピー元に色を指定しても無効です"),
    ("kMsgSprMethod2", "「.spr」では合成方法「2」は無効です"),
    ("kMsgSprMethod3", "「.spr」では合成方法「3」は無効です"),
    ("kMsgSprMethod6", "「.spr」では合成方法「6」は無効です"),
    ("kMsgMethod6Colour", "合成方法「6」ではコピー元に色を指定しても無効です"),
    ("kMsgTxtMaxline", "「.txt maxline」に失敗しました"),
    ("kMsgTxtSpaceSize", "「.txt space size」に失敗しました"),
    ("kMsgTxtSpacePos", "「.txt space pos」に失敗しました"),
    ("kMsgTxtFontMagnification", "「.txt font magnification」に失敗しました"),
    ("kMsgTprFontMagnification", "「.tpr font magnification」に失敗しました"),
    # Ours: .scr with a count that cannot be a number of offscreens.
    ("kMsgBadOffscreenCount", "オフスクリーンの数が不正です"),
    # Ours: an array declaration with more elements than the engine keeps.
    ("kMsgArrayTooLarge", "配列の要素数が多すぎます"),
    # Ours: declarations past the number of variables the engine keeps.
    ("kMsgTooManyVariables", "変数の数が多すぎます"),
    # Message boxes of start-up and the display modes.
    ("kMsgStartNotFound", "startファイルが見つかりません"),
    ("kMsgStartOpen", "startファイルが開けません"),
    ("kMsgConfigOpen", "configファイルが開けません"),
    ("kMsgFullScreenQuestion", "フルスクリーン表示しますか？"),
    ("kMsgDisplayRestart",
     "画面の設定を有効にするには再起動が必要です\n手動で画面設定を変えるか、ウィンドウモードで実行してください"),
    ("kMsgDisplayBadMode", "グラフィックスモードはサポートされていません\nウィンドウモードで実行してください"),
    ("kMsgFullScreenFailedAtStart", "フルスクリーンにできません\nウィンドウモードで実行します"),
    ("kMsgFullScreenFailed", "フルスクリーンにできません\nウィンドウモードで実行してください"),
    ("kMsgCreateWindowText", "再起動すれば直る可能性があります。"),
    ("kMsgCreateWindowTitle", "CreateWindowに失敗"),
    ("kMsgErrorTitle", "エラー"),
    # Internal errors.
    ("kSdkCreateMainWindow", "CApp::CreateMainWindowに失敗"),
    ("kSdkCreateWindow", "CAppでCreateWindowに失敗。"),
    ("kSdkInternalError", "SDK 内部エラー"),
    # Internal errors of the media players.
    ("kSdkAviOpen", "CAVIOutput::AVIデバイスがオープンできない。"),
    ("kSdkAviWindow", "CAVIOutput::再生先のウィンドウを設定できない。"),
    ("kSdkAviDestination", "CAVIOutput::再生先のウィンドウ全体を表示領域に設定できない。"),
    ("kSdkAviPlay", "CAVIOutput::AVIデバイスが再生できない。"),
    ("kSdkAviStop", "CAVIOutput::AVIデバイスが停止できない。"),
    # A movie device that does not close logs a text of its own, not the open text.
    ("kSdkAviClose", "CAVIOutput::AVIデバイスがクローズできない。"),
    ("kSdkCdOpen", "CCDDA::OpenでMCI_OPENに失敗"),
    ("kSdkCdTrackCount", "CCDDA::OpenでMCI_STATUS_ITEM(MCI_STATUS_NUMBER_OF_TRACKS)に失敗"),
    ("kSdkCdDiscLength", "CCDDA::OpenでMCI_STATUS_ITEM(MCI_STATUS_LENGTH)に失敗"),
    ("kSdkCdTrackPosition", "CCDDA::OpenでMCI_STATUS(MCI_STATUS_POSITION)に失敗"),
    ("kSdkCdTrackLength", "CCDDA::OpenでMCI_STATUS(MCI_STATUS_LENGTH)に失敗"),
    ("kSdkCdPlayOpen", "CCDDA::Playで、Openに失敗。"),
    ("kSdkCdPlayTrackOver", "CCDDA::Playで再生トラックが最大トラック数を超えています"),
    ("kSdkCdPlay", "CCDDA::PlayでMCI_PLAYに失敗"),
    ("kSdkCdPlayDw", "CCDDA::PlayDWでMCI_PLAYに失敗"),
    ("kSdkCdPlayDwNotOpen", "CCDDA::PlayDWが、Openされていないのに呼び出されました"),
    ("kSdkCdStopNotOpen", "CCDDA::Stopが、Openされていないのに呼び出されました"),
    # Ours: a track number below 1 or past the last track as the first of a range.
    ("kSdkCdPlayTrackInvalid", "CCDDA::Playで再生トラックが不正です"),
    ("kSdkMp3Open", "CMIDIOutput::Mp3デバイスがオープンできない。"),
    ("kSdkMp3Close", "CMIDIOutput::Mp3デバイスがクローズできない。"),
    ("kSdkMp3Stop", "CMIDIOutput::Mp3デバイスが停止できない。"),
    ("kSdkMp3Status", "CMIDIOutput::Mp3デバイスステータスが読み出せない。"),
]


def escape(text: str) -> str:
    out = ""
    after_escape = False
    for b in text.encode("cp932"):
        c = chr(b)
        if 0x20 <= b < 0x7F and c not in '"\\?':
            # A hex digit right after an escape would extend it: close and reopen the literal.
            if after_escape and c in "0123456789abcdefABCDEF":
                out += '" "'
            out += c
            after_escape = False
        elif b == 0x0A:
            out += "\\n"
            after_escape = False
        else:
            out += "\\x%02X" % b
            after_escape = True
    return '"' + out + '"'

# The English meaning of each script error, written after the Japanese on the FILE:LINE: lines
# (message boxes keep the Japanese alone). {} stands for the file, label, variable or word the
# error is about, quoted; when a report names none, it is left out.
EXPLANATIONS = {
    "kMsgNoCommand": "there is no command {}",
    "kMsgNoVariable": "no variable {} is declared",
    "kMsgCursorLoad": "cannot read the cursor file {}",
    "kMsgAssignUndeclared": "cannot assign to {}: no such variable is declared",
    "kMsgCasEof": "the file ends before the \".\" line that closes this .cas block",
    "kMsgSkpEof": "the file ends before the \".\" line that closes this block",
    "kMsgLabelNotFound": "label {} not found",
    "kMsgBadLineNumber": "the file has no line {}",
    "kMsgCannotOpenFile": "cannot open the script {}",
    "kMsgSubJumpOtherFile": "inside a subroutine .jmp must stay in the current file, not go to {}",
    "kMsgSubExitFailed": "the caller's file no longer reaches the line to return to",
    "kMsgSubCallerOpen": "cannot reopen the caller's file {}",
    "kMsgSubExitInvalid": ".sub exit outside any subroutine",
    "kMsgNoChoices": ".slt exec with no choice registered",
    "kMsgTooManyChoices": "at most 19 choices can be registered; {} was not added",
    "kMsgSaveOpen": "cannot write the save file {}",
    "kMsgLoadOpen": "cannot open the save file {}",
    "kMsgLoadNoVariable": "the save file has no line for {}",
    "kMsgDestInvalid": "the destination {} is neither \"screen\" nor an offscreen",
    "kMsgDestNoOffscreen": "there is no offscreen {}",
    "kMsgSrcNoOffscreen": "there is no offscreen {}",
    "kMsgSrcOpen": "cannot open the source picture {}",
    "kMsgTransitionNotScreen": "only \"screen\" can be drawn with a transition; drawn at once",
    "kMsgSprColour": ".spr cannot draw a colour",
    "kMsgSprMethod2": ".spr cannot use composition method 2 (add)",
    "kMsgSprMethod3": ".spr cannot use composition method 3 (subtract)",
    "kMsgSprMethod6": ".spr cannot use composition method 6 (alpha)",
    "kMsgMethod6Colour": "composition method 6 (alpha) needs a picture, not a colour",
    "kMsgTxtMaxline": "the line count must be 1 to 1000, set while the page is empty",
    "kMsgTxtSpaceSize":
        "the area needs 0 < width <= maximum width and a height above 0, set while the page is empty",
    "kMsgTxtSpacePos": "the position can only be set while the page is empty",
    "kMsgTxtFontMagnification": "the magnification must be 1 to 4, set while the page is empty",
    "kMsgTprFontMagnification": "the magnification must be 1 to 4",
    "kMsgBadOffscreenCount": "the number of offscreens must be 0 to 256",
    "kMsgArrayTooLarge": "an array may have at most 65536 elements",
    "kMsgTooManyVariables":
        "at most 131072 variables can be declared; {} and the rest of the line are not",
}


def main() -> None:
    root = pathlib.Path(__file__).resolve().parent.parent
    if len(sys.argv) == 3 and sys.argv[1] == "--test-header":
        write_test_header(pathlib.Path(sys.argv[2]))
        return
    lines = [
        "// Generated by scripts/gen-messages.py from the readable texts there; do not edit.",
        "// The engine's user-visible texts in Shift-JIS.",
        "// One message per line reads better than wrapped byte strings.",
        "// clang-format off",
        "#pragma once",
        "",
        "#include <string_view>",
        "",
        "namespace adv {",
        "",
    ]
    for name, text in MESSAGES:
        readable = text.replace("\n", "\\n")
        lines.append(f"// {readable}")
        lines.append(f"inline constexpr std::string_view {name} = {escape(text)};")
    lines += [
        "",
        "// A script error's meaning in English; {} stands for the name the report is about.",
        "struct MessageExplanation {",
        "  std::string_view message;",
        "  std::string_view english;",
        "};",
        "",
        "inline constexpr MessageExplanation kMessageExplanations[] = {",
    ]
    for name, english in EXPLANATIONS.items():
        quoted = english.replace("\\", "\\\\").replace('"', '\\"')
        lines.append(f'    {{{name}, "{quoted}"}},')
    lines += [
        "};",
        "",
        "// The English meaning of a message, or \"\" when it has none.",
        "inline std::string_view ExplainMessage(std::string_view message) {",
        "  for (const MessageExplanation& e : kMessageExplanations) {",
        "    if (e.message == message) return e.english;",
        "  }",
        "  return {};",
        "}",
    ]
    lines += ["", "}  // namespace adv", ""]
    (root / "src/base/messages.h").write_text("\n".join(lines), encoding="utf-8")


def write_test_header(path: pathlib.Path) -> None:
    test = [
        "// Generated by scripts/gen-messages.py; do not edit.",
        "// clang-format off",
        "#pragma once",
        "",
        "#include <string_view>",
        "#include <utility>",
        "",
        "namespace adv::test {",
        "",
        "// Each Shift-JIS message beside the UTF-8 text it must convert to.",
        "inline const std::pair<std::string_view, std::string_view> kMessageTexts[] = {",
    ]
    for name, text in MESSAGES:
        utf8 = text.replace("\n", "\\n")
        test.append(f'    {{{name}, "{utf8}"}},')
    test += ["};", "", "}  // namespace adv::test", ""]
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(test), encoding="utf-8")


if __name__ == "__main__":
    main()

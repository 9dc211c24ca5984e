<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CoreText</name>
    <message>
        <source>Save failed.</source>
        <translation>保存できませんでした。</translation>
    </message>
    <message>
        <source>The memo file is not laid out as this editor writes it. Saving replaces it with the memos that could be read. Replace it?</source>
        <translation>メモファイルはこのエディタの書式ではありません。保存すると、読み取れたメモで置き換えます。置き換えますか?</translation>
    </message>
    <message>
        <source>Save changes in system data?</source>
        <translation>システムデータの変更を保存しますか?</translation>
    </message>
    <message>
        <source>Choose a proper file name.</source>
        <translation>正しいファイル名を選んでください。</translation>
    </message>
    <message>
        <source>Fail to Allocate Memory!</source>
        <translation>メモリを確保できません!</translation>
    </message>
    <message>
        <source>Fail to Read File!</source>
        <translation>ファイルを読み込めません!</translation>
    </message>
    <message>
        <source>Unable to open Memo file</source>
        <translation>メモファイルを開けません</translation>
    </message>
    <message>
        <source>Open Card Info.</source>
        <translation>カード情報を開く</translation>
    </message>
    <message>
        <source>Load system information.</source>
        <translation>システム情報を読み込んでください。</translation>
    </message>
</context>
<context>
    <name>QtPrompter</name>
    <message>
        <source>&amp;Yes</source>
        <translation>はい(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>いいえ(&amp;N)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>WQ SERIES CARD EDITOR WQE-7000</source>
        <translation>WQ シリーズ カードエディタ WQE-7000</translation>
    </message>
    <message>
        <source>Card folder or system settings file to open</source>
        <translation>開くカードフォルダまたはシステム設定ファイル</translation>
    </message>
</context>
<context>
    <name>wqe::CMainFrame</name>
    <message>
        <source>FILE(&amp;F)</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>OPEN Card Info.(&amp;O)...</source>
        <translation>カード情報を開く(&amp;O)...</translation>
    </message>
    <message>
        <source>SAVE Card Info.(&amp;S)</source>
        <translation>カード情報を保存(&amp;S)</translation>
    </message>
    <message>
        <source>PRINT Settings(&amp;U)</source>
        <translation>印刷設定(&amp;U)</translation>
    </message>
    <message>
        <source>System &amp; Phrase Info.(&amp;A)</source>
        <translation>システム情報とフレーズ情報(&amp;A)</translation>
    </message>
    <message>
        <source>System Info.(&amp;S)</source>
        <translation>システム情報(&amp;S)</translation>
    </message>
    <message>
        <source>Phrase Info.(&amp;P)</source>
        <translation>フレーズ情報(&amp;P)</translation>
    </message>
    <message>
        <source>PRINT(&amp;P)...</source>
        <translation>印刷(&amp;P)...</translation>
    </message>
    <message>
        <source>PRINT Preview(&amp;V)...</source>
        <translation>印刷プレビュー(&amp;V)...</translation>
    </message>
    <message>
        <source>Printer Setup(&amp;R)...</source>
        <translation>プリンタの設定(&amp;R)...</translation>
    </message>
    <message>
        <source>END(&amp;X)</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>EDIT(&amp;E)</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>Backup(&amp;B)...</source>
        <translation>バックアップ(&amp;B)...</translation>
    </message>
    <message>
        <source>Restore(&amp;R)...</source>
        <translation>リストア(&amp;R)...</translation>
    </message>
    <message>
        <source>Cleanup(&amp;C)...</source>
        <translation>クリーンアップ(&amp;C)...</translation>
    </message>
    <message>
        <source>File Convert(&amp;C)...</source>
        <translation>ファイル変換(&amp;C)...</translation>
    </message>
    <message>
        <source>WAV Import...</source>
        <translation>WAV インポート...</translation>
    </message>
    <message>
        <source>Delete of folder(&amp;D)...</source>
        <translation>フォルダの削除(&amp;D)...</translation>
    </message>
    <message>
        <source>Phrase Settings(&amp;P)</source>
        <translation>フレーズ設定(&amp;P)</translation>
    </message>
    <message>
        <source>OPTION(&amp;O)</source>
        <translation>オプション(&amp;O)</translation>
    </message>
    <message>
        <source>Setting the Backup Path (&amp;B)...</source>
        <translation>バックアップパスの設定(&amp;B)...</translation>
    </message>
    <message>
        <source>Setting the CARD Path(&amp;C)...</source>
        <translation>カードパスの設定(&amp;C)...</translation>
    </message>
    <message>
        <source>HELP(&amp;H)</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>Version Info.(&amp;A)...</source>
        <translation>バージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>WQ SERIES CARD EDITOR WQE-7000</source>
        <translation>WQ シリーズ カードエディタ WQE-7000</translation>
    </message>
</context>
<context>
    <name>wqe::CPathDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>The folder:

%1

is invalid. Please reenter.</source>
        <translation>フォルダ:

%1

は無効です。入力し直してください。</translation>
    </message>
    <message>
        <source>The folder:

%1

does not exist. Do you want the folder to be created?</source>
        <translation>フォルダ:

%1

は存在しません。フォルダを作成しますか?</translation>
    </message>
    <message>
        <source>The folder:

%1

can not be created. Please double check.</source>
        <translation>フォルダ:

%1

を作成できません。確認してください。</translation>
    </message>
</context>
<context>
    <name>wqe::CWQEApp</name>
    <message>
        <source>Reference Path:</source>
        <translation>参照パス:</translation>
    </message>
    <message>
        <source>Buckup Up Path Setup</source>
        <translation>バックアップパスの設定</translation>
    </message>
    <message>
        <source>CARD Path Setup</source>
        <translation>カードパスの設定</translation>
    </message>
    <message>
        <source>Version Information</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>WQE-7000 Version 2.00</source>
        <translation>WQE-7000 Version 2.00</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>wqe::CWQEView</name>
    <message>
        <source>SYSTEM</source>
        <translation>システム</translation>
    </message>
    <message>
        <source>System Settings</source>
        <translation>システム設定</translation>
    </message>
    <message>
        <source>RS-232C Setting</source>
        <translation>RS-232C 設定</translation>
    </message>
    <message>
        <source>WQ-LINK Setting</source>
        <translation>WQ-LINK 設定</translation>
    </message>
    <message>
        <source>Card Editing</source>
        <translation>カード編集</translation>
    </message>
    <message>
        <source>System folder:</source>
        <translation>フォルダ:</translation>
    </message>
    <message>
        <source>CARD name:</source>
        <translation>カード名:</translation>
    </message>
    <message>
        <source>Phrase Num.:</source>
        <translation>フレーズ数:</translation>
    </message>
    <message>
        <source>Memo:</source>
        <translation>メモ:</translation>
    </message>
    <message>
        <source>Dual Mono Mode:</source>
        <translation>デュアルモノ:</translation>
    </message>
    <message>
        <source>Display Sleep:</source>
        <translation>表示スリープ:</translation>
    </message>
    <message>
        <source>Output Volume Thru:</source>
        <translation>出力音量スルー:</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>ボーレート:</translation>
    </message>
    <message>
        <source>WQ-LINK Mode:</source>
        <translation>モード:</translation>
    </message>
    <message>
        <source>Card Protect:</source>
        <translation>カード保護:</translation>
    </message>
    <message>
        <source>Equalizer</source>
        <translation>イコライザ</translation>
    </message>
    <message>
        <source>Line Thru</source>
        <translation>ラインスルー</translation>
    </message>
    <message>
        <source>Busy Out</source>
        <translation>ビジー出力</translation>
    </message>
    <message>
        <source>Control Input</source>
        <translation>制御入力</translation>
    </message>
    <message>
        <source>MIDI Settings</source>
        <translation>MIDI 設定</translation>
    </message>
    <message>
        <source>Phrase Setup(&amp;E)...</source>
        <translation>フレーズの設定(&amp;E)...</translation>
    </message>
    <message>
        <source>Delete Phrase(&amp;D)...</source>
        <translation>フレーズの削除(&amp;D)...</translation>
    </message>
    <message>
        <source>Copy Phrase(&amp;C)...</source>
        <translation>フレーズのコピー(&amp;C)...</translation>
    </message>
    <message>
        <source>Phrase Combination(&amp;B)</source>
        <translation>フレーズの組み合わせ(&amp;B)</translation>
    </message>
    <message>
        <source>Pattern Phrase(&amp;P)...</source>
        <translation>パターンフレーズ(&amp;P)...</translation>
    </message>
    <message>
        <source>Song Phrase(&amp;S)...</source>
        <translation>ソングフレーズ(&amp;S)...</translation>
    </message>
</context>
</TS>

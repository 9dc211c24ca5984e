<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>EditStep</name>
    <message>
        <source>Line Thru Settings</source>
        <translation>ラインスルー設定</translation>
    </message>
    <message>
        <source>Equalizer Settings</source>
        <translation>イコライザ設定</translation>
    </message>
    <message>
        <source>Busy Out Settings</source>
        <translation>ビジー出力設定</translation>
    </message>
    <message>
        <source>Control Input Settings</source>
        <translation>制御入力設定</translation>
    </message>
    <message>
        <source>MIDI Settings</source>
        <translation>MIDI 設定</translation>
    </message>
    <message>
        <source>MTC Settings</source>
        <translation>MTC設定</translation>
    </message>
    <message>
        <source>Direct Play</source>
        <translation>ダイレクト再生</translation>
    </message>
    <message>
        <source>Program Play 1</source>
        <translation>プログラム再生1</translation>
    </message>
    <message>
        <source>Program Play 2</source>
        <translation>プログラム再生2</translation>
    </message>
    <message>
        <source>Program Play 3</source>
        <translation>プログラム再生3</translation>
    </message>
    <message>
        <source>Program Play 4</source>
        <translation>プログラム再生4</translation>
    </message>
    <message>
        <source>Program Play 5</source>
        <translation>プログラム再生5</translation>
    </message>
    <message>
        <source>MIDI Note Map</source>
        <translation>MIDIノートマップ</translation>
    </message>
    <message>
        <source>Card Name</source>
        <translation>カード名</translation>
    </message>
    <message>
        <source>System Memo</source>
        <translation>システムメモ</translation>
    </message>
    <message>
        <source>Dual Mono Mode</source>
        <translation>デュアルモノモード</translation>
    </message>
    <message>
        <source>Output Volume Thru</source>
        <translation>出力音量スルー</translation>
    </message>
    <message>
        <source>Card Protect</source>
        <translation>カードプロテクト</translation>
    </message>
    <message>
        <source>Display Sleep</source>
        <translation>表示スリープ</translation>
    </message>
    <message>
        <source>WQ-LINK Mode</source>
        <translation>WQ-LINKモード</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>ボーレート</translation>
    </message>
</context>
<context>
    <name>wqe::CBusyDlg</name>
    <message>
        <source>Busy Out Settings</source>
        <translation>ビジー出力設定</translation>
    </message>
    <message>
        <source>During Delay Time:</source>
        <translation>ディレイ時間中:</translation>
    </message>
    <message>
        <source>During Phrase Playback:</source>
        <translation>フレーズ再生中:</translation>
    </message>
    <message>
        <source>During Repeat Interval:</source>
        <translation>リピート間隔中:</translation>
    </message>
</context>
<context>
    <name>wqe::CControl</name>
    <message>
        <source>Control Input Settings</source>
        <translation>制御入力設定</translation>
    </message>
    <message>
        <source>Control Input Select:</source>
        <translation>制御入力選択:</translation>
    </message>
    <message>
        <source>Binary Playback Trigger:</source>
        <translation>バイナリ再生トリガ:</translation>
    </message>
    <message>
        <source>Treminal REC:</source>
        <translation>制御端子録音:</translation>
    </message>
    <message>
        <source>Direct Play</source>
        <translation>ダイレクト再生</translation>
    </message>
    <message>
        <source>Program %1</source>
        <translation>プログラム%1</translation>
    </message>
</context>
<context>
    <name>wqe::CCount1</name>
    <message>
        <source>Program Play %1</source>
        <translation>プログラム再生%1</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>ステップ</translation>
    </message>
</context>
<context>
    <name>wqe::CDirect</name>
    <message>
        <source>Direct Play</source>
        <translation>ダイレクト再生</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>入力</translation>
    </message>
</context>
<context>
    <name>wqe::CEqDlg</name>
    <message>
        <source>Equalizer Settings</source>
        <translation>イコライザ設定</translation>
    </message>
    <message>
        <source>Switch:</source>
        <translation>スイッチ:</translation>
    </message>
    <message>
        <source>Low Freq:</source>
        <translation>低域周波数:</translation>
    </message>
    <message>
        <source>Low Gain:</source>
        <translation>低域ゲイン:</translation>
    </message>
    <message>
        <source>Hi Freq:</source>
        <translation>高域周波数:</translation>
    </message>
    <message>
        <source>Hi Gain:</source>
        <translation>高域ゲイン:</translation>
    </message>
    <message>
        <source>Attenuation:</source>
        <translation>アッテネータ:</translation>
    </message>
</context>
<context>
    <name>wqe::CMidiSet</name>
    <message>
        <source>MIDI Settings</source>
        <translation>MIDI 設定</translation>
    </message>
    <message>
        <source>MIDI Output:</source>
        <translation>MIDI出力:</translation>
    </message>
    <message>
        <source>Device ID:</source>
        <translation>デバイスID:</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>チャンネル:</translation>
    </message>
    <message>
        <source>Note Trigger:</source>
        <translation>ノートトリガ:</translation>
    </message>
    <message>
        <source>MMC Mode:</source>
        <translation>MMCモード:</translation>
    </message>
    <message>
        <source>Rx Message</source>
        <translation>受信メッセージ</translation>
    </message>
    <message>
        <source>Note On Velocity:</source>
        <translation>ノートオンベロシティ:</translation>
    </message>
    <message>
        <source>Panpot:</source>
        <translation>パンポット:</translation>
    </message>
    <message>
        <source>Expression:</source>
        <translation>エクスプレッション:</translation>
    </message>
    <message>
        <source>Note Out</source>
        <translation>ノート出力</translation>
    </message>
    <message>
        <source>MIDI Note Map</source>
        <translation>MIDIノートマップ</translation>
    </message>
</context>
<context>
    <name>wqe::CMtcDlg</name>
    <message>
        <source>MTC Settings</source>
        <translation>MTC設定</translation>
    </message>
    <message>
        <source>Sync Source:</source>
        <translation>同期ソース:</translation>
    </message>
    <message>
        <source>Sync Out:</source>
        <translation>同期出力:</translation>
    </message>
    <message>
        <source>MTC Type:</source>
        <translation>MTCタイプ:</translation>
    </message>
    <message>
        <source>Error Level:</source>
        <translation>エラーレベル:</translation>
    </message>
</context>
<context>
    <name>wqe::CMtcSel</name>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Phrase Number:</source>
        <translation>フレーズ番号:</translation>
    </message>
    <message>
        <source>Start:</source>
        <translation>スタート:</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>時</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>フレーム</translation>
    </message>
</context>
<context>
    <name>wqe::CPhSel</name>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Phrase Number:</source>
        <translation>フレーズ番号:</translation>
    </message>
</context>
<context>
    <name>wqe::CTableDlg</name>
    <message>
        <source>Phrase</source>
        <translation>フレーズ</translation>
    </message>
    <message>
        <source>Phrase Table:</source>
        <translation>フレーズテーブル:</translation>
    </message>
</context>
<context>
    <name>wqe::CardUndoStack</name>
    <message>
        <source>Undo(&amp;U)</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>Redo(&amp;R)</source>
        <translation>やり直し(&amp;R)</translation>
    </message>
    <message>
        <source>Undo %1(&amp;U)</source>
        <translation>元に戻す: %1(&amp;U)</translation>
    </message>
    <message>
        <source>Redo %1(&amp;R)</source>
        <translation>やり直し: %1(&amp;R)</translation>
    </message>
    <message>
        <source>Undoes the last change of the card's settings.</source>
        <translation>カード設定の最後の変更を元に戻します。</translation>
    </message>
    <message>
        <source>Redoes the last undone change of the card's settings.</source>
        <translation>元に戻したカード設定の変更をやり直します。</translation>
    </message>
    <message>
        <source>Data files written by pattern or song editing and by conversion are not part of the history.</source>
        <translation>パターン・ソングの編集や変換で書き込まれたデータファイルは履歴に含まれません。</translation>
    </message>
</context>
<context>
    <name>wqe::ClineThru</name>
    <message>
        <source>Line Thru Settings</source>
        <translation>ラインスルー設定</translation>
    </message>
    <message>
        <source>Line Thru:</source>
        <translation>ラインスルー:</translation>
    </message>
    <message>
        <source>Line Thru Volume:</source>
        <translation>ラインスルー音量:</translation>
    </message>
    <message>
        <source>Fade In:</source>
        <translation>フェードイン:</translation>
    </message>
    <message>
        <source>Fade Out:</source>
        <translation>フェードアウト:</translation>
    </message>
</context>
<context>
    <name>wqe::CmidiNoteDlg</name>
    <message>
        <source>MIDI Note Map</source>
        <translation>MIDIノートマップ</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>ノート</translation>
    </message>
</context>
</TS>

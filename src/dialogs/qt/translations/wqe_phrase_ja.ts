<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>EditStep</name>
    <message>
        <source>Phrase Setup</source>
        <translation>フレーズ設定</translation>
    </message>
</context>
<context>
    <name>wqe::CPhraseDlg</name>
    <message>
        <source>Phrase Setup</source>
        <translation>フレーズ設定</translation>
    </message>
    <message>
        <source>File Information</source>
        <translation>ファイル情報</translation>
    </message>
    <message>
        <source>Phrase Name:</source>
        <translation>フレーズ名:</translation>
    </message>
    <message>
        <source>Control Out:</source>
        <translation>コントロール出力:</translation>
    </message>
    <message>
        <source>Delay Time:</source>
        <translation>ディレイ時間:</translation>
    </message>
    <message>
        <source>Repeat:</source>
        <translation>リピート:</translation>
    </message>
    <message>
        <source>Repeat Interval:</source>
        <translation>リピート間隔:</translation>
    </message>
    <message>
        <source>Fade In:</source>
        <translation>フェードイン:</translation>
    </message>
    <message>
        <source>Fade Out:</source>
        <translation>フェードアウト:</translation>
    </message>
    <message>
        <source>Pattern Mode:</source>
        <translation>パターンモード:</translation>
    </message>
    <message>
        <source>Start Point:</source>
        <translation>スタートポイント:</translation>
    </message>
    <message>
        <source>End Point:</source>
        <translation>エンドポイント:</translation>
    </message>
    <message>
        <source>Loop:</source>
        <translation>ループ:</translation>
    </message>
    <message>
        <source>Loop 1:</source>
        <translation>ループ1:</translation>
    </message>
    <message>
        <source>Loop 2:</source>
        <translation>ループ2:</translation>
    </message>
    <message>
        <source>Memo:</source>
        <translation>メモ:</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
</TS>

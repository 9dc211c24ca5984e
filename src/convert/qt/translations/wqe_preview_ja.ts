<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>wqe::CWQEView</name>
    <message>
        <source>Play</source>
        <translation>再生</translation>
    </message>
</context>
<context>
    <name>wqe::CPhrasePlayer</name>
    <message>
        <source>No sound output device is available, so phrases cannot be played.</source>
        <translation>サウンド出力デバイスがないため、フレーズを再生できません。</translation>
    </message>
    <message>
        <source>Plays the data file once at the phrase&apos;s volume; start and end points and loops are not simulated.</source>
        <translation>データファイルをフレーズの音量で一度再生します。スタートポイント、エンドポイントとループは再現されません。</translation>
    </message>
</context>
<context>
    <name>wqe::CPlayButton</name>
    <message>
        <source>Play</source>
        <translation>再生</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>The file cannot be played.</source>
        <translation>ファイルを再生できません。</translation>
    </message>
</context>
<context>
    <name>wqe::PreviewCommands</name>
    <message>
        <source>Space plays and stops, Esc stops.</source>
        <translation>スペースキーで再生と停止、Escキーで停止します。</translation>
    </message>
    <message>
        <source>The phrase cannot be played.</source>
        <translation>フレーズを再生できません。</translation>
    </message>
    <message>
        <source>Phrase %1</source>
        <translation>フレーズ %1</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>wqe::CConvertDlg</name>
    <message>
        <source>Sample rate:</source>
        <translation>サンプリング周波数:</translation>
    </message>
    <message>
        <source>as source</source>
        <translation>元のまま</translation>
    </message>
    <message>
        <source>&quot;as source&quot; keeps a device rate and converts any other rate to the next device rate above it (48000 Hz above 48000 Hz).</source>
        <translation>「元のまま」は機器の周波数をそのまま使い、それ以外の周波数はその上の機器の周波数に変換します（48000 Hz を超えるものは 48000 Hz）。</translation>
    </message>
    <message>
        <source>Mix down to stereo</source>
        <translation>ステレオにミックスダウン</translation>
    </message>
    <message>
        <source>Files of more than two channels are refused unless they are mixed down.</source>
        <translation>3 チャンネル以上のファイルは、ミックスダウンしない限り変換できません。</translation>
    </message>
    <message>
        <source>Audio File</source>
        <translation>オーディオ・ファイル</translation>
    </message>
</context>
</TS>

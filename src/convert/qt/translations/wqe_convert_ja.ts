<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>wqe::CConvertDlg</name>
    <message>
        <source>Standard</source>
        <translation>標準</translation>
    </message>
    <message>
        <source>Best</source>
        <translation>最高</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>Best tries every coding of the mode for each block and keeps the closest: a higher signal-to-noise ratio at no larger file size, slower to encode.</source>
        <translation>「最高」はブロックごとにモードのすべての符号化を試し、最も近いものを選びます。ファイルサイズを増やさずにS/N比が上がりますが、変換に時間がかかります。</translation>
    </message>
    <message>
        <source>File Convert</source>
        <translation>ファイル・コンバート</translation>
    </message>
    <message>
        <source>WAV Import</source>
        <translation>WAV インポート</translation>
    </message>
    <message>
        <source>by Folder</source>
        <translation>フォルダ単位</translation>
    </message>
    <message>
        <source>KPAC-&gt;WAV</source>
        <translation>KPAC-&gt;WAV</translation>
    </message>
    <message>
        <source>WAV-&gt;KPAC</source>
        <translation>WAV-&gt;KPAC</translation>
    </message>
    <message>
        <source>Quantisation Bit Number :</source>
        <translation>量子化ビット数 :</translation>
    </message>
    <message>
        <source>K-PAC Mode :</source>
        <translation>K-PAC モード :</translation>
    </message>
    <message>
        <source>refer</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Source Phrase / Folder:</source>
        <translation>変換元フレーズ / フォルダ:</translation>
    </message>
    <message>
        <source>Source File / Folder:</source>
        <translation>変換元ファイル / フォルダ:</translation>
    </message>
    <message>
        <source>Target Phrase / Folder:</source>
        <translation>変換先フレーズ / フォルダ:</translation>
    </message>
    <message>
        <source>Progress conditions</source>
        <translation>進行状況</translation>
    </message>
    <message>
        <source>START</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Source Folder Select</source>
        <translation>変換元フォルダの選択</translation>
    </message>
    <message>
        <source>Reference Path:</source>
        <translation>参照パス:</translation>
    </message>
    <message>
        <source>Wave File (*.WAV *.wav)</source>
        <translation>Wave ファイル (*.WAV *.wav)</translation>
    </message>
    <message>
        <source>KPAC File (*.PHR *.phr)</source>
        <translation>KPAC ファイル (*.PHR *.phr)</translation>
    </message>
    <message>
        <source>WAV Path Select</source>
        <translation>WAV パスの選択</translation>
    </message>
</context>
<context>
    <name>wqe::CWavImportDlg</name>
    <message>
        <source>File Convert</source>
        <translation>ファイル・コンバート</translation>
    </message>
    <message>
        <source>WAV Import</source>
        <translation>WAV インポート</translation>
    </message>
    <message>
        <source>by Folder</source>
        <translation>フォルダ単位</translation>
    </message>
    <message>
        <source>KPAC-&gt;WAV</source>
        <translation>KPAC-&gt;WAV</translation>
    </message>
    <message>
        <source>WAV-&gt;KPAC</source>
        <translation>WAV-&gt;KPAC</translation>
    </message>
    <message>
        <source>Quantisation Bit Number :</source>
        <translation>量子化ビット数 :</translation>
    </message>
    <message>
        <source>K-PAC Mode :</source>
        <translation>K-PAC モード :</translation>
    </message>
    <message>
        <source>refer</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Source Phrase / Folder:</source>
        <translation>変換元フレーズ / フォルダ:</translation>
    </message>
    <message>
        <source>Source File / Folder:</source>
        <translation>変換元ファイル / フォルダ:</translation>
    </message>
    <message>
        <source>Target Phrase / Folder:</source>
        <translation>変換先フレーズ / フォルダ:</translation>
    </message>
    <message>
        <source>Progress conditions</source>
        <translation>進行状況</translation>
    </message>
    <message>
        <source>START</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Source Folder Select</source>
        <translation>変換元フォルダの選択</translation>
    </message>
    <message>
        <source>Reference Path:</source>
        <translation>参照パス:</translation>
    </message>
    <message>
        <source>Wave File (*.WAV *.wav)</source>
        <translation>Wave ファイル (*.WAV *.wav)</translation>
    </message>
    <message>
        <source>KPAC File (*.PHR *.phr)</source>
        <translation>KPAC ファイル (*.PHR *.phr)</translation>
    </message>
    <message>
        <source>WAV Path Select</source>
        <translation>WAV パスの選択</translation>
    </message>
</context>
<context>
    <name>wqe::CPhrOpenDlg</name>
    <message>
        <source>Target Phrase Number Selected.</source>
        <translation>変換先フレーズ番号の選択</translation>
    </message>
    <message>
        <source>Drive:</source>
        <translation>ドライブ:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>フォルダ:</translation>
    </message>
    <message>
        <source>Phrase Number :</source>
        <translation>フレーズ番号 :</translation>
    </message>
    <message>
        <source>Phrase files:</source>
        <translation>フレーズ・ファイル:</translation>
    </message>
    <message>
        <source>Max Phrase Num :</source>
        <translation>最大フレーズ数 :</translation>
    </message>
    <message>
        <source>Selected File</source>
        <translation>選択ファイル</translation>
    </message>
    <message>
        <source>File name :</source>
        <translation>ファイル名 :</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
</TS>

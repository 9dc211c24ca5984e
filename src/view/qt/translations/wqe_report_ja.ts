<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>wqe::CMainFrame</name>
    <message>
        <source>Export PDF...</source>
        <translation>PDF出力...</translation>
    </message>
</context>
<context>
    <name>wqe::CReportPrinter</name>
    <message>
        <source>Export PDF</source>
        <translation>PDF出力</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDFファイル (*.pdf)</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 を書き込めません: %2</translation>
    </message>
    <message>
        <source>the pages could not be drawn</source>
        <translation>ページを描画できません</translation>
    </message>
</context>
</TS>

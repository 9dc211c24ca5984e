<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>wqe::CPhSel3</name>
    <message>
        <source>Phrase to make</source>
        <translation>作成するフレーズ</translation>
    </message>
    <message>
        <source>Preparation of Phrase</source>
        <translation>フレーズの準備</translation>
    </message>
    <message>
        <source>Pattern Phrase</source>
        <translation>パターンフレーズ</translation>
    </message>
    <message>
        <source>Song Phrase</source>
        <translation>ソングフレーズ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>wqe::CPhSel2</name>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Phrase Number:</source>
        <translation>フレーズ番号：</translation>
    </message>
    <message>
        <source>Volume:</source>
        <translation>音量：</translation>
    </message>
    <message>
        <source>Interval:</source>
        <translation>間隔：</translation>
    </message>
    <message>
        <source>ENTER</source>
        <translation>ENTER</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>wqe::CPthPhEdit</name>
    <message>
        <source>Editing Pattern Phrases</source>
        <translation>パターンフレーズ編集</translation>
    </message>
    <message>
        <source>Editing Song Phrases</source>
        <translation>ソングフレーズ編集</translation>
    </message>
    <message>
        <source>Steps:</source>
        <translation>ステップ：</translation>
    </message>
    <message>
        <source>INSERT</source>
        <translation>挿入</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>PLAY:</source>
        <translation>再生回数：</translation>
    </message>
    <message>
        <source>ENTER</source>
        <translation>ENTER</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>EditStep</name>
    <message>
        <source>Pattern Phrase</source>
        <translation>パターンフレーズ</translation>
    </message>
    <message>
        <source>Song Phrase</source>
        <translation>ソングフレーズ</translation>
    </message>
    <message>
        <source>Erase Phrase</source>
        <translation>フレーズ消去</translation>
    </message>
</context>
<context>
    <name>CoreText</name>
    <message>
        <source>There is no data file of pattern phrase.</source>
        <translation>パターンフレーズのデータファイルがありません。</translation>
    </message>
    <message>
        <source>There is no data file of song phrase.</source>
        <translation>ソングフレーズのデータファイルがありません。</translation>
    </message>
    <message>
        <source>The data file of pattern phrase is wrong.</source>
        <translation>パターンフレーズのデータファイルが不正です。</translation>
    </message>
    <message>
        <source>The data file of song phrase is wrong.</source>
        <translation>ソングフレーズのデータファイルが不正です。</translation>
    </message>
    <message>
        <source>It failed in the preservation of pattern phrase file.</source>
        <translation>パターンフレーズファイルの保存に失敗しました。</translation>
    </message>
    <message>
        <source>It failed in the preservation of song phrase file.</source>
        <translation>ソングフレーズファイルの保存に失敗しました。</translation>
    </message>
    <message>
        <source>Since an interrupt phrase was not chosen,
pattern settings were corrected to random1.</source>
        <translation>割り込みフレーズが選択されていないため、
パターン設定をランダム1に修正しました。</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CoreText</name>
    <message>
        <source>Back Up Card</source>
        <translation>カードのバックアップ</translation>
    </message>
    <message>
        <source>Restore Card</source>
        <translation>カードのリストア</translation>
    </message>
    <message>
        <source>Backup-Source Folder:</source>
        <translation>バックアップ元フォルダ:</translation>
    </message>
    <message>
        <source>Backup-Destination Folder:</source>
        <translation>バックアップ先フォルダ:</translation>
    </message>
    <message>
        <source>Restoration-Source Folder:</source>
        <translation>リストア元フォルダ:</translation>
    </message>
    <message>
        <source>Restoration-Destination Folder:</source>
        <translation>リストア先フォルダ:</translation>
    </message>
    <message>
        <source>Change Folder Name As Necessary</source>
        <translation>必要に応じてフォルダ名を変更してください</translation>
    </message>
    <message>
        <source>CARD Path Setup</source>
        <translation>カードパスの設定</translation>
    </message>
    <message>
        <source>Buckup Up Path Setup</source>
        <translation>バックアップパスの設定</translation>
    </message>
    <message>
        <source>Reference Path:</source>
        <translation>参照パス:</translation>
    </message>
    <message>
        <source>Specify Folder to Erase</source>
        <translation>削除するフォルダの指定</translation>
    </message>
    <message>
        <source>Specify correct path with OPTION</source>
        <translation>OPTION で正しいパスを指定してください</translation>
    </message>
    <message>
        <source>All of the files in the backup-destination folder will be deleted,
and the card data will be loaded after the backup. Do you want to continue?</source>
        <translation>バックアップ先フォルダのファイルはすべて削除され、
バックアップ後にカードデータを読み込みます。続行しますか？</translation>
    </message>
    <message>
        <source>All the files in the folder at the backup destination will be deleted. OK to proceed?</source>
        <translation>バックアップ先フォルダのファイルはすべて削除されます。よろしいですか？</translation>
    </message>
    <message>
        <source>All card phrases will be erased, and the card data will be loaded after the restoration.
Do you want to continue?</source>
        <translation>カードのフレーズはすべて消去され、リストア後にカードデータを読み込みます。
続行しますか？</translation>
    </message>
    <message>
        <source>All phrases on the card will be erased. OK to proceed?</source>
        <translation>カードのフレーズはすべて消去されます。よろしいですか？</translation>
    </message>
    <message>
        <source>Cleanup in progress</source>
        <translation>クリーン・アップ中</translation>
    </message>
    <message>
        <source>The data currently being edited will be saved.
OK to proceed?</source>
        <translation>編集中のデータを保存します。
よろしいですか？</translation>
    </message>
    <message>
        <source>Double registration of the system file has occurred.
Processing halted.</source>
        <translation>システムファイルが二重に登録されています。
処理を中止しました。</translation>
    </message>
    <message>
        <source>Phrase information file couldn't be read properly.
Treatment is stopped.</source>
        <translation>フレーズ情報ファイルを正しく読み込めませんでした。
処理を中止しました。</translation>
    </message>
    <message>
        <source>Phrase and memo data being written.</source>
        <translation>フレーズとメモのデータを書き込み中です。</translation>
    </message>
    <message>
        <source>Redisplaying phrase data...</source>
        <translation>フレーズデータを再表示しています...</translation>
    </message>
    <message>
        <source>It failed in the preservation of phrase information file.</source>
        <translation>フレーズ情報ファイルの保存に失敗しました。</translation>
    </message>
    <message>
        <source>Finished.</source>
        <translation>終了しました。</translation>
    </message>
    <message>
        <source>Copy succeeded.</source>
        <translation>コピーに成功しました。</translation>
    </message>
    <message>
        <source>Copy failed.</source>
        <translation>コピーに失敗しました。</translation>
    </message>
</context>
<context>
    <name>wqe::CCbuck</name>
    <message>
        <source>refer</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>ENTER</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>wqe::CCClean</name>
    <message>
        <source>Clean up</source>
        <translation>クリーン・アップ</translation>
    </message>
    <message>
        <source>PUSH START SW</source>
        <translation>START を押してください</translation>
    </message>
    <message>
        <source>START</source>
        <translation>START</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>wqe::CPhCopy</name>
    <message>
        <source>Destination Phrase:</source>
        <translation>コピー先フレーズ:</translation>
    </message>
    <message>
        <source>DEC</source>
        <translation>DEC</translation>
    </message>
    <message>
        <source>INC</source>
        <translation>INC</translation>
    </message>
    <message>
        <source>Reference Drive:</source>
        <translation>参照ドライブ:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>フォルダ:</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>ファイル:</translation>
    </message>
    <message>
        <source>Source Phrase:</source>
        <translation>コピー元フレーズ:</translation>
    </message>
    <message>
        <source>ENTER</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>END</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Phrase Copy(Phrase No,%1)</source>
        <translation>フレーズ・コピー(フレーズ No,%1)</translation>
    </message>
</context>
</TS>

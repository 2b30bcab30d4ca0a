<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>morvane::Band</name>
    <message>
        <location filename="../measure/bands.cpp" line="20"/>
        <source>やせ過ぎ</source>
        <translation>Too thin</translation>
    </message>
    <message>
        <location filename="../measure/bands.cpp" line="22"/>
        <source>やせ気味</source>
        <translation>A bit thin</translation>
    </message>
    <message>
        <location filename="../measure/bands.cpp" line="24"/>
        <source>スタンダード</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location filename="../measure/bands.cpp" line="26"/>
        <source>でぶメゾフォルテ</source>
        <translation>Chubby mezzo forte</translation>
    </message>
    <message>
        <location filename="../measure/bands.cpp" line="28"/>
        <source>でぶフォルテ</source>
        <translation>Chubby forte</translation>
    </message>
    <message>
        <location filename="../measure/bands.cpp" line="30"/>
        <source>でぶフォルテシモ</source>
        <translation>Chubby fortissimo</translation>
    </message>
</context>
<context>
    <name>morvane::BandWeights</name>
    <message>
        <location filename="../measure/bandweights.cpp" line="37"/>
        <source>体重の範囲を出すには、身長の登録が必要です</source>
        <translation>Set your height to see the weight ranges</translation>
    </message>
    <message>
        <location filename="../measure/bandweights.cpp" line="71"/>
        <source>%1  %2〜%3 kg</source>
        <translation>%1  %2–%3 kg</translation>
    </message>
    <message>
        <location filename="../measure/bandweights.cpp" line="83"/>
        <source>上の区分（%1）まで  +</source>
        <translation>To the band above (%1)  +</translation>
    </message>
    <message>
        <location filename="../measure/bandweights.cpp" line="88"/>
        <source>下の区分（%1）まで  −</source>
        <translation>To the band below (%1)  −</translation>
    </message>
    <message>
        <location filename="../measure/bandweights.cpp" line="114"/>
        <source>身長 %1 m での各区分の体重</source>
        <translation>Weights for each band at %1 m</translation>
    </message>
</context>
<context>
    <name>morvane::CsvExport</name>
    <message>
        <location filename="../store/csvexport.cpp" line="102"/>
        <source>Morvane のデータファイル「%1」には書き出せません。別の名前を指定して下さい。</source>
        <translation>“%1” is one of Morvane’s data files and cannot be exported to. Choose another name.</translation>
    </message>
</context>
<context>
    <name>morvane::DataFolder</name>
    <message>
        <location filename="../store/datafolder.cpp" line="45"/>
        <source>ホームフォルダーがわからないため（環境変数 HOME）、データのフォルダーを決められません。--data-folder=フォルダー で指定して下さい。</source>
        <translation>Without a home folder (the HOME environment variable) the data folder cannot be found. Give it as --data-folder=FOLDER.</translation>
    </message>
    <message>
        <location filename="../store/datafolder.cpp" line="55"/>
        <source>データのフォルダーに指定した「%1」は、フォルダーではなくファイルです。
フォルダーを指定して下さい。</source>
        <translation>The data folder given, “%1”, is a file, not a folder.
Give a folder.</translation>
    </message>
    <message>
        <location filename="../store/datafolder.cpp" line="64"/>
        <source>データのフォルダー「%1」を作成できませんでした。
理由: %2</source>
        <translation>Could not create the data folder “%1”.
Reason: %2</translation>
    </message>
    <message>
        <location filename="../store/datafolder.cpp" line="73"/>
        <source>データのフォルダー「%1」を開けませんでした。
理由: %2</source>
        <translation>Could not open the data folder “%1”.
Reason: %2</translation>
    </message>
</context>
<context>
    <name>morvane::EntryFlow</name>
    <message>
        <location filename="../session/entries.cpp" line="15"/>
        <source>身長をﾒｰﾄﾙ単位で入力して下さい</source>
        <translation>Enter your height in metres</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="16"/>
        <source>     例)  168.5cm →&#x3000;1.685</source>
        <translation>     e.g.  168.5 cm → 1.685</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="17"/>
        <source>身長登録</source>
        <translation>Set Height</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="18"/>
        <source>身長が数値ではありません。ﾒｰﾄﾙ単位の数値で入力して下さい。</source>
        <translation>The height is not a number. Enter it as a number of metres.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="20"/>
        <source>身長は 0.3 から 3.0 ﾒｰﾄﾙの範囲で入力して下さい。</source>
        <translation>Enter a height from 0.3 to 3.0 metres.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="22"/>
        <source>身長は変更されていません。</source>
        <translation>The height has not been changed.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="26"/>
        <source>体重をKg単位で入力して下さい</source>
        <translation>Enter your weight in kg</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="27"/>
        <source>     例)  68.5Kg →&#x3000;68.5</source>
        <translation>     e.g.  68.5 kg → 68.5</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="28"/>
        <source>体重入力</source>
        <translation>Enter Weight</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="29"/>
        <source>体重が数値ではありません。Kg単位の数値で入力して下さい。</source>
        <translation>The weight is not a number. Enter it as a number of kg.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="31"/>
        <source>体重は 1 から 1000 Kg の範囲で入力して下さい。</source>
        <translation>Enter a weight from 1 to 1000 kg.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="33"/>
        <source>体重は記録されていません。</source>
        <translation>The weight has not been recorded.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="36"/>
        <source>体重は保存されましたが、履歴には追加されていません。</source>
        <translation>The weight was saved, but it was not added to the history.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="38"/>
        <source>前回の体重 %1 kg と大きく違います。このまま記録しますか？

入力した体重: %2 kg</source>
        <translation>This is very different from your last weight, %1 kg. Record it anyway?

Weight entered: %2 kg</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="43"/>
        <source>目標体重をKg単位で入力して下さい</source>
        <translation>Enter your goal weight in kg</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="44"/>
        <source>     例)  62.5Kg →&#x3000;62.5</source>
        <translation>     e.g.  62.5 kg → 62.5</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="45"/>
        <source>目標体重の設定</source>
        <translation>Set Goal Weight</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="46"/>
        <source>目標体重が数値ではありません。Kg単位の数値で入力して下さい。</source>
        <translation>The goal weight is not a number. Enter it as a number of kg.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="48"/>
        <source>目標体重は 1 から 1000 Kg の範囲で入力して下さい。</source>
        <translation>Enter a goal weight from 1 to 1000 kg.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="50"/>
        <source>目標体重は変更されていません。</source>
        <translation>The goal weight has not been changed.</translation>
    </message>
    <message>
        <location filename="../session/entries.cpp" line="51"/>
        <source>目標体重を削除します</source>
        <translation>The goal weight will be removed</translation>
    </message>
    <message>
        <location filename="../session/entryflow.cpp" line="77"/>
        <source>小数点には「,」ではなく「.」を使って下さい。</source>
        <translation>Use “.” for the decimal point, not “,”.</translation>
    </message>
</context>
<context>
    <name>morvane::FileIo</name>
    <message>
        <location filename="../store/fileio.cpp" line="52"/>
        <source>ディスクの空き容量がありません</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="53"/>
        <source>アクセスする権限がありません</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="54"/>
        <source>その操作は許可されていません</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="55"/>
        <source>読み取り専用のファイルシステムです</source>
        <translation>The file system is read-only</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="56"/>
        <source>ファイル名またはパスが長すぎます</source>
        <translation>The file name or path is too long</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="57"/>
        <source>ファイルの大きさの上限を超えます</source>
        <translation>The file would go over the file size limit</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="58"/>
        <source>ディスクの使用量の制限（クォータ）を超えます</source>
        <translation>The disk quota would be exceeded</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="59"/>
        <source>入出力エラーが起きました</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="60"/>
        <source>ファイルまたはフォルダーがありません</source>
        <translation>No such file or folder</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="61"/>
        <source>ファイルではなくフォルダーです</source>
        <translation>It is a folder, not a file</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="62"/>
        <source>シンボリックリンクが多すぎます</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="63"/>
        <source>リンクが多すぎます</source>
        <translation>Too many links</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="64"/>
        <source>パスの途中にフォルダーではないものがあります</source>
        <translation>Part of the path is not a folder</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="114"/>
        <source>通常のファイルではありません（FIFO、デバイスなど）</source>
        <translation>Not a regular file (a FIFO, a device or the like)</translation>
    </message>
    <message>
        <location filename="../store/fileio.cpp" line="131"/>
        <source>ファイルが大きすぎます（上限 %1 バイト）</source>
        <translation>The file is too large (at most %1 bytes)</translation>
    </message>
</context>
<context>
    <name>morvane::Goal</name>
    <message>
        <location filename="../measure/goal.cpp" line="16"/>
        <source>目標 %1 kg</source>
        <translation>Goal %1 kg</translation>
    </message>
    <message>
        <location filename="../measure/goal.cpp" line="23"/>
        <source>目標 %1 kg まで %2 kg</source>
        <translation>To goal %1 kg  %2 kg</translation>
    </message>
</context>
<context>
    <name>morvane::HelpBrowser</name>
    <message>
        <location filename="../help/helpbrowser.cpp" line="139"/>
        <source>ページが見つかりません</source>
        <translation>Page not found</translation>
    </message>
    <message>
        <location filename="../help/helpbrowser.cpp" line="140"/>
        <source>このヘルプファイルには「%1」がありません。</source>
        <translation>This help file has no “%1”.</translation>
    </message>
</context>
<context>
    <name>morvane::HelpWindow</name>
    <message>
        <location filename="../help/helpwindow.cpp" line="115"/>
        <source>ヘルプの目次とページ。Esc キーで閉じます</source>
        <translation>The help’s contents and pages. Esc closes it</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="120"/>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="120"/>
        <source>前に表示したページに戻ります</source>
        <translation>Goes back to the page shown before</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="122"/>
        <source>進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="123"/>
        <source>戻る前のページに進みます</source>
        <translation>Goes forward again</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="124"/>
        <source>ホーム</source>
        <translation>Home</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="125"/>
        <source>ヘルプの最初のページを表示します</source>
        <translation>Shows the help’s first page</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="134"/>
        <source>目次</source>
        <translation>Contents</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="135"/>
        <source>ヘルプの目次です。項目を選ぶとそのページを表示します。</source>
        <translation>The help’s contents. Choose an entry to show its page.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="139"/>
        <source>ヘルプのページ</source>
        <translation>Help page</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="235"/>
        <source>表示できるページがありません。</source>
        <translation>There is no page to show.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="243"/>
        <source>Morvane ヘルプ</source>
        <translation>Morvane Help</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="251"/>
        <source>ファイルが見つかりません。</source>
        <translation>The file was not found.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="252"/>
        <source>同じ名前のフォルダーがあります。</source>
        <translation>There is a folder of that name.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="253"/>
        <source>ファイルを読み込めません（%1）。</source>
        <translation>The file cannot be read (%1).</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="254"/>
        <source>ファイルが大きすぎます。</source>
        <translation>The file is too large.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="255"/>
        <source>CHM 形式のファイルではありません。</source>
        <translation>The file is not a CHM help file.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="256"/>
        <source>ファイルの構造が壊れています。</source>
        <translation>The file is damaged.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="257"/>
        <source>ファイルが途中で切れています。</source>
        <translation>The file is cut short.</translation>
    </message>
    <message>
        <location filename="../help/helpwindow.cpp" line="271"/>
        <source>ヘルプファイル「%1」を開けません。</source>
        <translation>Cannot open the help file “%1”.</translation>
    </message>
</context>
<context>
    <name>morvane::HistoryBackup</name>
    <message>
        <location filename="../store/historyedit.cpp" line="109"/>
        <source>ほかのプログラムが書き込み続けています</source>
        <translation>Another program keeps writing to it</translation>
    </message>
</context>
<context>
    <name>morvane::HistoryEditor</name>
    <message>
        <location filename="../session/historyeditor.cpp" line="29"/>
        <source>これまでの履歴を削除します</source>
        <translation>The history so far will be deleted</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="29"/>
        <location filename="../session/historyeditor.cpp" line="36"/>
        <source>履歴削除</source>
        <translation>Clear History</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="33"/>
        <source>前回削除した履歴を元に戻すための控え「%1」があります。
これを破棄して、今回削除する履歴を新しい控えにしますか？</source>
        <translation>“%1” holds the history cleared last time, kept so that it can be restored.
Throw it away and keep the history you are clearing now instead?</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="39"/>
        <source>履歴は削除されていません。</source>
        <translation>The history has not been cleared.</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="65"/>
        <source>履歴を元に戻せませんでした。
「%1」: %2</source>
        <translation>Could not restore the history.
“%1”: %2</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="58"/>
        <location filename="../session/historyeditor.cpp" line="67"/>
        <source>履歴を元に戻す</source>
        <translation>Restore History</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="56"/>
        <source>取り込みを元に戻し、取り込む前の履歴に戻します。
取り込みのあとに記録した体重は残ります。</source>
        <translation>The import will be undone: the history goes back to what it was before it.
Weights recorded since the import are kept.</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="77"/>
        <source>記録の削除</source>
        <translation>Delete Entry</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="80"/>
        <source>次の記録を履歴から削除します。

%1</source>
        <translation>This entry will be deleted from the history:

%1</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="86"/>
        <source>「%1」が、表示している履歴と違っています（ほかのプログラムが書き換えた可能性があります）。記録は削除していません。
履歴を読み直して表示します。</source>
        <translation>“%1” is not the history shown (another program may have changed it). No entry was deleted.
The history is read again and shown.</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="88"/>
        <source>記録は削除されていません。</source>
        <translation>The entry has not been deleted.</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="109"/>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="110"/>
        <source>「%1」が、記録を削除したあとに変更されているため、元に戻せませんでした。</source>
        <translation>“%1” has changed since the entry was deleted, so the entry could not be put back.</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="111"/>
        <source>削除した記録は元に戻っていません。</source>
        <translation>The deleted entry has not been put back.</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="120"/>
        <source>CSV書き出し</source>
        <translation>Export to CSV</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="123"/>
        <source>CSV ファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <location filename="../session/historyeditor.cpp" line="130"/>
        <source>「%1」に書き込めませんでした。
理由: %2</source>
        <translation>Could not write “%1”.
Reason: %2</translation>
    </message>
</context>
<context>
    <name>morvane::HistoryImport</name>
    <message>
        <location filename="../store/historyimport.cpp" line="533"/>
        <source>取り込むと履歴の日付が変わってしまうため、取り込みませんでした</source>
        <translation>Importing would change the dates of the history, so nothing was imported.</translation>
    </message>
    <message>
        <location filename="../store/historyimport.cpp" line="601"/>
        <source>身長がないため、BMI と肥満度を計算できません</source>
        <translation>Without a height, the BMI and the obesity degree cannot be worked out.</translation>
    </message>
    <message>
        <location filename="../store/historyimport.cpp" line="608"/>
        <source>日付が月/日/年か日/月/年か決まらないため、どちらか選んで下さい</source>
        <translation>The dates could be month/day/year or day/month/year: choose one.</translation>
    </message>
    <message>
        <location filename="../store/historyimport.cpp" line="638"/>
        <source>取り込みの記録が読めません</source>
        <translation>The record of the import cannot be read.</translation>
    </message>
    <message>
        <location filename="../store/historyimport.cpp" line="650"/>
        <source>取り込みのあとで履歴の行が削除または変更されたため、取り込みを元に戻せません</source>
        <translation>Lines of the history were deleted or changed after the import, so the import cannot be undone.</translation>
    </message>
</context>
<context>
    <name>morvane::HistoryImporter</name>
    <message>
        <location filename="../session/historyimporter.cpp" line="62"/>
        <location filename="../session/historyimporter.cpp" line="98"/>
        <location filename="../session/historyimporter.cpp" line="108"/>
        <location filename="../session/historyimporter.cpp" line="117"/>
        <source>履歴の取り込み</source>
        <translation>Import History</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="66"/>
        <source>記録のファイル (*.csv *.tsv *.txt *.xml);;すべてのファイル (*)</source>
        <translation>Weight records (*.csv *.tsv *.txt *.xml);;All files (*)</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="84"/>
        <source>前回の控え「%1」があります。
これを破棄して、取り込む前の履歴を新しい控えにしますか？</source>
        <translation>“%1” holds the history kept last time, so that it can be restored.
Throw it away and keep the history before this import instead?</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="98"/>
        <source>「%1」を読み込んでいます…</source>
        <translation>Reading “%1”…</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="107"/>
        <source>「%1」を取り込めません。
理由: %2</source>
        <translation>Cannot import “%1”.
Reason: %2</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="120"/>
        <source>取り込める新しい記録はありませんでした。</source>
        <translation>There were no new entries to import.</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="125"/>
        <source>履歴に取り込めませんでした。
「%1」: %2</source>
        <translation>Could not import into the history.
“%1”: %2</translation>
    </message>
    <message>
        <location filename="../session/historyimporter.cpp" line="135"/>
        <source>現在の体重は変更されていません。</source>
        <translation>The current weight has not been changed.</translation>
    </message>
    <message numerus="yes">
        <location filename="../session/historyimporter.cpp" line="147"/>
        <source>%n 件の記録を取り込みました。
「履歴を元に戻す」で、取り込む前の履歴に戻せます。</source>
        <translation>
            <numerusform>%n entry was imported.
“Restore History” puts the history back as it was before.</numerusform>
            <numerusform>%n entries were imported.
“Restore History” puts the history back as it was before.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>morvane::HistoryLock</name>
    <message>
        <location filename="../store/historylock.cpp" line="37"/>
        <source>ほかの Morvane が書き込み中です。少し待ってからやり直してください</source>
        <translation>Another Morvane is writing to it. Wait a moment and try again</translation>
    </message>
</context>
<context>
    <name>morvane::ImportDialog</name>
    <message>
        <location filename="../ui/importdialog.cpp" line="37"/>
        <source>タブ</source>
        <translation>tab</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="47"/>
        <source>履歴の取り込み</source>
        <translation>Import History</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="49"/>
        <source>取り込むファイルの内容と、取り込んだあとの履歴の見込み</source>
        <translation>What the file holds, and what the history will hold after the import</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="53"/>
        <source>ファイル:</source>
        <translation>File:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="55"/>
        <source>形式:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="59"/>
        <source>日付の列(&amp;D):</source>
        <translation>&amp;Date column:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="60"/>
        <source>体重の列(&amp;W):</source>
        <translation>&amp;Weight column:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="62"/>
        <source>月/日/年（03/04/2024 は 3月4日）</source>
        <translation>Month/day/year (03/04/2024 is March 4)</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="63"/>
        <source>日/月/年（03/04/2024 は 4月3日）</source>
        <translation>Day/month/year (03/04/2024 is April 3)</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="64"/>
        <source>日付の順序</source>
        <translation>Date order</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="65"/>
        <source>日付の順序(&amp;O):</source>
        <translation>Date &amp;order:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="69"/>
        <source>期間:</source>
        <translation>Dates:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="72"/>
        <source>件数:</source>
        <translation>Entries:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="84"/>
        <source>取り込めない行</source>
        <translation>Rows not imported</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="85"/>
        <source>書き込む行</source>
        <translation>Lines to be written</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="92"/>
        <source>取り込む</source>
        <translation>Import</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="101"/>
        <source>取り込めない行(&amp;R):</source>
        <translation>&amp;Rows not imported:</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="105"/>
        <source>書き込む行（最初の %1 行）(&amp;L):</source>
        <translation>&amp;Lines to be written (the first %1):</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="130"/>
        <source>%1 列目</source>
        <translation>Column %1</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="134"/>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="161"/>
        <source>（%1</source>
        <translation> (%1</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="163"/>
        <source>、区切り %1</source>
        <translation>, separated by %1</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="165"/>
        <source>、ポンドを kg に換算</source>
        <translation>, pounds converted to kg</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="166"/>
        <source>）</source>
        <translation>)</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="175"/>
        <source>%1〜%2</source>
        <translation>%1 – %2</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="177"/>
        <source>日付のある行がありません</source>
        <translation>No row has a date</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="179"/>
        <source>新しい記録 %1 件、履歴にある記録 %2 件（取り込みません）、取り込めない行 %3 件</source>
        <translation>%1 new entries, %2 already in the history (not imported), %3 rows not imported</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="183"/>
        <source>日付が月/日/年か日/月/年か、このファイルからは決まりません。日付の順序を選んで下さい。</source>
        <translation>The file does not tell whether its dates are month/day/year or day/month/year. Choose the date order.</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="186"/>
        <source>このファイルには取り込める新しい記録がありません。</source>
        <translation>This file has no new entries to import.</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="192"/>
        <source>%1 行目: %2</source>
        <translation>Row %1: %2</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="197"/>
        <source>ほか %1 行</source>
        <translation>and %1 more rows</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="199"/>
        <source>（ありません）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <location filename="../ui/importdialog.cpp" line="203"/>
        <source>いちばん新しい体重 %1 kg を現在の体重にする</source>
        <translation>Make the newest weight, %1 kg, the current weight</translation>
    </message>
</context>
<context>
    <name>morvane::ImportFormats</name>
    <message>
        <location filename="../store/importformats.cpp" line="716"/>
        <source>取り込む記録がありません（空のファイルです）</source>
        <translation>There is nothing to import (the file is empty).</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="810"/>
        <source>選んだ列がファイルにありません</source>
        <translation>The file does not have the chosen column.</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="815"/>
        <source>日付の列が見つかりません</source>
        <translation>No date column was found.</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="820"/>
        <source>体重の列が見つかりません</source>
        <translation>No weight column was found.</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="837"/>
        <location filename="../store/importformats.cpp" line="925"/>
        <source>行が多すぎます（上限 %L1 行）</source>
        <translation>Too many rows (at most %L1).</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="901"/>
        <source>体重の記録のファイルではありません（Pondus のデータファイルの XML ではありません）</source>
        <translation>This is not a file of weights (not the XML of a Pondus data file).</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="956"/>
        <source>XML として読めません（%1 行目）</source>
        <translation>Cannot be read as XML (line %1).</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1009"/>
        <source>テキストのファイルではありません（NUL 文字か、UTF-8 でも Shift_JIS でもない文字があります）</source>
        <translation>This is not a text file (it holds NUL characters, or characters that are neither UTF-8 nor Shift_JIS).</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1039"/>
        <source>Morvane の CSV</source>
        <translation>Morvane CSV</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1041"/>
        <source>openScale の CSV</source>
        <translation>openScale CSV</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1043"/>
        <source>Pondus のデータファイル（XML）</source>
        <translation>Pondus data file (XML)</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1048"/>
        <source>区切り文字で区切ったテキスト</source>
        <translation>Delimited text</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1057"/>
        <source>UTF-8（BOM 付き）</source>
        <translation>UTF-8 (with BOM)</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1068"/>
        <source>日付がないか、日付として読めません</source>
        <translation>No date, or not readable as a date</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1071"/>
        <source>日付が今日より後です</source>
        <translation>The date is after today</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1073"/>
        <source>体重が 1～1000 kg の範囲にありません</source>
        <translation>The weight is not between 1 and 1000 kg</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1076"/>
        <source>体重の記録の行ではありません</source>
        <translation>Not a line of a weight record</translation>
    </message>
    <message>
        <location filename="../store/importformats.cpp" line="1081"/>
        <source>次の記録と 1 年以上離れているため、履歴の行（年を持ちません）ではこの日付を保てません</source>
        <translation>More than a year from the next entry: the history’s lines, which carry no year, cannot keep this date</translation>
    </message>
</context>
<context>
    <name>morvane::Session</name>
    <message>
        <location filename="../session/session.cpp" line="38"/>
        <source>「%1」を読み込めませんでした。
理由: %2

プログラムを終了します。</source>
        <translation>Could not read “%1”.
Reason: %2

The program will end.</translation>
    </message>
    <message>
        <location filename="../session/session.cpp" line="110"/>
        <source>「%1」に書き込めませんでした。
理由: %2

%3</source>
        <translation>Could not write “%1”.
Reason: %2

%3</translation>
    </message>
    <message>
        <location filename="../session/session.cpp" line="112"/>
        <source>保存エラー</source>
        <translation>Save Error</translation>
    </message>
</context>
<context>
    <name>morvane::TrendView</name>
    <message>
        <location filename="../measure/trendplot.cpp" line="160"/>
        <source>、</source>
        <comment>between the parts of a line</comment>
        <translation>, </translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="319"/>
        <source>この期間の記録はありません</source>
        <translation>No entries in this period</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="324"/>
        <source>%1〜%2</source>
        <translation>%1–%2</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="327"/>
        <source>%1：%2 kg</source>
        <translation>%1: %2 kg</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="336"/>
        <source>%1：%2 kg → %3 kg（%4 kg）、最低 %5 kg、最高 %6 kg</source>
        <translation>%1: %2 kg → %3 kg (%4 kg), lowest %5 kg, highest %6 kg</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="344"/>
        <source>傾向 %1 kg</source>
        <translation>Trend %1 kg</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="348"/>
        <source>1週間で %1 kg（1日あたり約 %2 kcal）</source>
        <translation>%1 kg a week (about %2 kcal a day)</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="353"/>
        <source>最近の記録が少ないため1週間の変化は出せません</source>
        <translation>too few recent entries for a weekly change</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="359"/>
        <source>%1日間 %2 kg</source>
        <translation>%1 days %2 kg</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="366"/>
        <source>%1（%2 時点）</source>
        <translation>%1 (as of %2)</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="375"/>
        <source>目標 %1 kg に到達しました</source>
        <translation>Goal %1 kg reached</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="378"/>
        <source>目標 %1 kg 到達予想 %2ごろ</source>
        <translation>Goal %1 kg expected about %2</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="381"/>
        <source>目標 %1 kg 到達予想 2年以上先</source>
        <translation>Goal %1 kg expected more than two years away</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="384"/>
        <source>目標 %1 kg から離れつつあります</source>
        <translation>Goal %1 kg: moving away from it</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="387"/>
        <source>目標 %1 kg 変化がゆるやかで到達予想は出せません</source>
        <translation>Goal %1 kg: the change is too slow to tell when</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="391"/>
        <source>目標 %1 kg 最近の記録が少ないため到達予想は出せません</source>
        <translation>Goal %1 kg: too few recent entries to tell when</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="403"/>
        <source>1週間で %1 kg</source>
        <translation>%1 kg a week</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="408"/>
        <source>目標に到達</source>
        <translation>goal reached</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="411"/>
        <source>目標到達予想 %1ごろ</source>
        <translation>goal expected about %1</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="415"/>
        <source>目標到達は2年以上先</source>
        <translation>goal more than two years away</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="418"/>
        <source>目標から離れつつあります</source>
        <translation>moving away from the goal</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="426"/>
        <source>傾向: %1</source>
        <translation>Trend: %1</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="489"/>
        <source>%1&#x3000;%2 kg&#x3000;傾向 %3 kg</source>
        <translation>%1  %2 kg  trend %3 kg</translation>
    </message>
    <message>
        <location filename="../measure/trendplot.cpp" line="493"/>
        <source>%1&#x3000;%2 kg&#x3000;BMI %3&#x3000;傾向 %4 kg</source>
        <translation>%1  %2 kg  BMI %3  trend %4 kg</translation>
    </message>
</context>
<context>
    <name>morvane::TrendWindow</name>
    <message>
        <location filename="../ui/trendchart.cpp" line="158"/>
        <source>体重</source>
        <translation>Weight</translation>
    </message>
    <message>
        <location filename="../ui/trendchart.cpp" line="165"/>
        <source>傾向</source>
        <translation>Trend</translation>
    </message>
    <message>
        <location filename="../ui/trendchart.cpp" line="190"/>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <location filename="../ui/trendchart.cpp" line="195"/>
        <source>体重 (kg)</source>
        <translation>Weight (kg)</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="51"/>
        <source>体重の推移</source>
        <translation>Weight Trend</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="56"/>
        <source>記録した体重の推移のグラフ。上のボタンで期間を選び、グラフでは左右の矢印キーで記録を一つずつ読みます。Esc キーで閉じます</source>
        <translation>A chart of the weights you recorded. The buttons above choose the period; in the chart, the left and right arrow keys read the entries one at a time. Esc closes it</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="100"/>
        <source>期間:</source>
        <translation>Period:</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="110"/>
        <source>1か月</source>
        <translation>1 month</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="110"/>
        <source>直近1か月の記録を表示</source>
        <translation>Shows the last month’s entries</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="111"/>
        <source>3か月</source>
        <translation>3 months</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="112"/>
        <source>直近3か月の記録を表示</source>
        <translation>Shows the last three months’ entries</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="113"/>
        <source>1年</source>
        <translation>1 year</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="113"/>
        <source>直近1年の記録を表示</source>
        <translation>Shows the last year’s entries</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="114"/>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="114"/>
        <source>すべての記録を表示</source>
        <translation>Shows every entry</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="222"/>
        <source>記録した体重と、その傾向（1日ごとに体重へ1割ずつ近づく平均）を日付順に示すグラフ。背景の色は身長から求めた判定の区分</source>
        <translation>A chart of the weights recorded and their trend (an average that moves a tenth of the way to each day's weight), by date. The background colours are the judgement bands at your height</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="77"/>
        <source>体重の推移のグラフ</source>
        <translation>Weight trend chart</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="145"/>
        <source>身長が登録されていないため、判定の区分は表示していません</source>
        <translation>No height is set, so the judgement bands are not shown</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="149"/>
        <source>読み取れなかった行: %1</source>
        <translation>Unreadable lines: %1</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="150"/>
        <source>履歴のうち、グラフにできなかった行の数</source>
        <translation>The number of history lines that could not be charted</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="225"/>
        <source>。横の一点鎖線は%1</source>
        <translation>. The dash-dot line across is %1</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="231"/>
        <source>まだ履歴がありません。体重を記録すると、ここに推移がグラフで表示されます。</source>
        <translation>There is no history yet. Once you record your weight, its trend is shown here as a chart.</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="232"/>
        <source>履歴に、グラフにできる行がありません。</source>
        <translation>The history has no line that can be charted.</translation>
    </message>
    <message>
        <location filename="../ui/trendwindow.cpp" line="234"/>
        <source>この期間には記録がありません。ほかの期間を選んでください。</source>
        <translation>There are no entries in this period. Choose another period.</translation>
    </message>
</context>
<context>
    <name>morvane::WindowFrame</name>
    <message>
        <location filename="../ui/windowframe.cpp" line="211"/>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <location filename="../ui/windowframe.cpp" line="212"/>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>morvane::frmMain</name>
    <message>
        <location filename="../ui/frmmain.cpp" line="65"/>
        <source>体重と身長から BMI、標準体重、肥満度と判定を表示し、体重の履歴を記録します。F1 キーでヘルプ、F2 キーで身長の変更</source>
        <translation>Shows the BMI, standard weight, obesity and judgement from your weight and height, and keeps a history of your weights. F1 opens the help, F2 changes the height</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="131"/>
        <source>この記録を削除</source>
        <translation>Delete This Entry</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="136"/>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="325"/>
        <source>グラフ表示</source>
        <translation>Show Chart</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="326"/>
        <source>CSV書き出し</source>
        <translation>Export to CSV</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="328"/>
        <source>履歴の取り込み…</source>
        <translation>Import History…</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="329"/>
        <source>履歴を元に戻す</source>
        <translation>Restore History</translation>
    </message>
    <message>
        <location filename="../ui/frmmain.cpp" line="336"/>
        <source>目標体重の設定</source>
        <translation>Set Goal Weight</translation>
    </message>
</context>
<context>
    <name>morvane::layout</name>
    <message>
        <location filename="../ui/layout.cpp" line="104"/>
        <source>計算式の見出し「%1」</source>
        <translation>Formula heading “%1”</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="129"/>
        <source>%1の範囲</source>
        <translation>%1 range</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="144"/>
        <location filename="../ui/layout.cpp" line="145"/>
        <source>区切り線</source>
        <translation>Separator</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="144"/>
        <location filename="../ui/layout.cpp" line="145"/>
        <source>分数の線</source>
        <translation>Fraction line</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="153"/>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="154"/>
        <source>プログラムを終了します</source>
        <translation>Ends the program</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="155"/>
        <source>終了ボタン。ヘルプを閉じてプログラムを終了します。Enter キーでも押せます</source>
        <translation>Quit button. Closes the help and ends the program. Enter presses it too</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="156"/>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="157"/>
        <source>ヘルプファイルを開きます</source>
        <translation>Opens the help</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="158"/>
        <source>ヘルプボタン。ヘルプを開きます。Enter キーでも押せます。F1 キーでどこからでも開けます</source>
        <translation>Help button. Opens the help. Enter presses it too; F1 opens the help from anywhere</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="160"/>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="161"/>
        <source>カウントと履歴をクリアします</source>
        <translation>Clears the count and the history</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="162"/>
        <source>クリアボタン。確認のあと体重の履歴をすべて削除します。Enter キーでも押せます</source>
        <translation>Clear button. Deletes the whole weight history after asking. Enter presses it too</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="164"/>
        <source>肥満度</source>
        <translation>Obesity</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="165"/>
        <source>肥満度の計算式と現在の値</source>
        <translation>The obesity formula and its current values</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="166"/>
        <source>ＢＭＩ</source>
        <translation>BMI</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="167"/>
        <source>BMIの判定、メーター、計算式と現在の値</source>
        <translation>The BMI’s judgement, the meter, the formula and its current values</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="168"/>
        <source>  日付&#x3000; 体重&#x3000;  BMI&#x3000;肥満度</source>
        <translation> Date   Weight    BMI  Obesity</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="169"/>
        <location filename="../ui/layout.cpp" line="198"/>
        <source>体重の履歴</source>
        <translation>Weight history</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="170"/>
        <source>体重</source>
        <translation>Weight</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="171"/>
        <source>編集した設定で保存します</source>
        <translation>Saves with the settings edited</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="172"/>
        <source>体重ボタン。体重を入力して記録します。Enter キーでも押せます</source>
        <translation>Weight button. Enter a weight to record it. Enter presses it too</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="183"/>
        <source>タイトル Morvane</source>
        <translation>Title: Morvane</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="199"/>
        <source>記録した体重の履歴。日付、体重、BMI、肥満度の順。Shift+F10 キーまたはアプリケーション キーでメニューを開きます。Delete キーで選んだ記録を削除し、Ctrl+Z で元に戻します</source>
        <translation>The history of your weights: date, weight, BMI and obesity. Shift+F10 or the Menu key opens its menu. Delete deletes the selected entry and Ctrl+Z puts it back</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="213"/>
        <source>BMIメーター</source>
        <translation>BMI meter</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="214"/>
        <source>BMIメーター。動かすと、その BMI になる体重を表示します</source>
        <translation>BMI meter. Move it to see the weight that gives that BMI</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="216"/>
        <location filename="../ui/layout.cpp" line="242"/>
        <source>体重 (Kg)</source>
        <translation>Weight (kg)</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="218"/>
        <source>BMI</source>
        <translation>BMI</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="233"/>
        <source>判定</source>
        <translation>Judgement</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="237"/>
        <source>身長 (m)。ダブルクリックまたは F2 キーで身長を変更できます</source>
        <translation>Height (m). Double-click it or press F2 to change it</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="238"/>
        <source>ダブルクリックで身長の変更ができます</source>
        <translation>Double-click to change your height</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="239"/>
        <source>ＢＭＩ（体格）指数</source>
        <translation>Body mass index</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="244"/>
        <source>身長 (m)</source>
        <translation>Height (m)</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="248"/>
        <source>メーターの影</source>
        <translation>The meter’s shadow</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="258"/>
        <location filename="../ui/layout.cpp" line="259"/>
        <source>メーターの針</source>
        <translation>The meter’s needle</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="272"/>
        <source>BMIの目盛り 15 から 32</source>
        <translation>BMI scale from 15 to 32</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="281"/>
        <source>－</source>
        <translation>−</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="283"/>
        <source>×１００</source>
        <translation>× 100</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="286"/>
        <source>体重（Ｋｇ）</source>
        <translation>Weight (kg)</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="288"/>
        <location filename="../ui/layout.cpp" line="290"/>
        <location filename="../ui/layout.cpp" line="299"/>
        <source>標準体重（Ｋｇ）</source>
        <translation>Standard (kg)</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="292"/>
        <location filename="../ui/layout.cpp" line="293"/>
        <source>肥満度（％）</source>
        <translation>Obesity (%)</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="295"/>
        <source>＝</source>
        <translation>=</translation>
    </message>
    <message>
        <location filename="../ui/layout.cpp" line="298"/>
        <source>体重（Ｋｇ）       標準体重（Ｋｇ）</source>
        <translation>Weight (kg)        Standard (kg)</translation>
    </message>
</context>
<context>
    <name>morvane::main</name>
    <message>
        <location filename="main.cpp" line="63"/>
        <source>使い方: morvane [--data-folder[=フォルダー]] [--help | --version]

身長と体重から BMI を計算し、判定と履歴を表示します。
データは起動したフォルダーの「身長.txt」「体重.txt」「履歴.txt」に保存されます。

  --data-folder[=フォルダー]
                 データをこのフォルダーに保存します。フォルダーを省略すると
                 $XDG_DATA_HOME/morvane (既定は ~/.local/share/morvane)
                 です。メニューから起動したときはこのフォルダーを使います。
                 フォルダーがなければ作ります
  -h, --help     この説明を表示して終了します
  -v, --version  バージョンを表示して終了します
</source>
        <translation>Usage: morvane [--data-folder[=FOLDER]] [--help | --version]

Works out your BMI from your height and weight, and shows a judgement and a history.
The data is kept in the files 身長.txt, 体重.txt and 履歴.txt of the folder it is
started in.

  --data-folder[=FOLDER]
                 Keeps the data in this folder. Without a folder it is
                 $XDG_DATA_HOME/morvane (by default ~/.local/share/morvane),
                 the folder used when the program is started from the menu.
                 The folder is created if it is not there
  -h, --help     Shows this text and ends
  -v, --version  Shows the version and ends
</translation>
    </message>
    <message>
        <location filename="main.cpp" line="91"/>
        <source>morvane: --data-folder= のあとにデータのフォルダーがありません。
--data-folder=フォルダー のように指定して下さい（省略するときは --data-folder）。
</source>
        <translation>morvane: --data-folder= names no data folder.
Give one as --data-folder=FOLDER (or use --data-folder alone for the usual one).
</translation>
    </message>
    <message>
        <location filename="main.cpp" line="107"/>
        <source>morvane: 「%1」というオプションはありません。
使い方は morvane --help で表示されます。
</source>
        <translation>morvane: there is no option “%1”.
morvane --help shows how to use the program.
</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ApplicationEditor</name>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>パス</translation>
    </message>
    <message>
        <source>Pre Script</source>
        <translation>Pre Script</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>マニュアル</translation>
    </message>
    <message>
        <source>Arguments</source>
        <translation>引数</translation>
    </message>
    <message>
        <source>Environments</source>
        <translation>環境変数</translation>
    </message>
</context>
<context>
    <name>ApplicationLauncher</name>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
</context>
<context>
    <name>EmptyTabHint</name>
    <message>
        <source>No entry matches the filter.</source>
        <translation>絞り込みに一致する項目はありません。</translation>
    </message>
    <message>
        <source>Drop programs or .desktop files here, or choose File &gt; Add.</source>
        <translation>ここにプログラムや .desktop ファイルをドロップするか、ファイル &gt; 追加 を選んでください。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Korvani</source>
        <translation>Korvani</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Online &amp;Manual</source>
        <translation>オンラインマニュアル</translation>
    </message>
    <message>
        <source>About &amp;Korvani</source>
        <translation>Korvaniについて</translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation>Qtについて</translation>
    </message>
    <message>
        <source>About Korvani</source>
        <translation>Korvaniについて</translation>
    </message>
    <message>
        <source>The entries could not be saved to %1.</source>
        <translation>%1 に項目を保存できませんでした。</translation>
    </message>
</context>
<context>
    <name>PathEditor</name>
    <message>
        <source>Path Editor</source>
        <translation>パスの編集</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>決定</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
</context>
<context>
    <name>PathLineEditButton</name>
    <message>
        <source>Select Application</source>
        <translation>アプリケーションの選択</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>アプリケーション</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VariableDataModel</name>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
</context>
<context>
    <name>VariableDelegate</name>
    <message>
        <source>Edit : %1</source>
        <translation>編集: %1</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>有効</translation>
    </message>
</context>
<context>
    <name>VariableEditor</name>
    <message>
        <source>Variable Editor</source>
        <translation>変数の編集</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
</context>
</TS>

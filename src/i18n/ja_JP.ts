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
        <translation>事前スクリプト</translation>
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
        <translation>手動</translation>
    </message>
    <message>
        <source>Arguments</source>
        <translation>引数</translation>
    </message>
    <message>
        <source>Environments</source>
        <translation>環境変数</translation>
    </message>
    <message>
        <source>The template %1 is not read: it is not a regular file of at most 1 MiB.</source>
        <translation>テンプレート %1 は読み込まれません: 1 MiB 以下の通常のファイルではありません。</translation>
    </message>
    <message>
        <source>Korvani</source>
        <translation>Korvani</translation>
    </message>
    <message>
        <source>Save the changes to this entry?</source>
        <translation>この項目の変更を保存しますか?</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>破棄</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
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
        <source>Drop programs or .desktop files here, or choose File &gt; Add or File &gt; Add Installed Programs.</source>
        <translation>ここにプログラムや .desktop ファイルをドロップするか、ファイル &gt; 追加 または ファイル &gt; インストール済みのプログラムを追加 を選んでください。</translation>
    </message>
</context>
<context>
    <name>InstalledProgramsDialog</name>
    <message>
        <source>Add Installed Programs</source>
        <translation>インストール済みのプログラムを追加</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>絞り込み</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>LauncherDataLosses</name>
    <message>
        <source>Entry %1: &quot;%2&quot; holds a value of another kind than Korvani keeps there.</source>
        <translation>項目 %1: &quot;%2&quot; の値は Korvani がそこに保存する種類ではありません。</translation>
    </message>
    <message>
        <source>Entry %1: &quot;%2&quot; is not a whole number within range.</source>
        <translation>項目 %1: &quot;%2&quot; は範囲内の整数ではありません。</translation>
    </message>
    <message>
        <source>Entry %1: an item of &quot;%2&quot; is not a name with a value.</source>
        <translation>項目 %1: &quot;%2&quot; の要素が名前と値の組ではありません。</translation>
    </message>
    <message>
        <source>Entry %1: an item of &quot;%2&quot; holds &quot;%3&quot;, which Korvani does not keep.</source>
        <translation>項目 %1: &quot;%2&quot; の要素に Korvani が保存しない &quot;%3&quot; があります。</translation>
    </message>
    <message>
        <source>Element %1 of the list is not an entry.</source>
        <translation>リストの要素 %1 は項目ではありません。</translation>
    </message>
</context>
<context>
    <name>LauncherFile</name>
    <message>
        <source>The entries would take more than %1 MiB, and Korvani reads no larger file.</source>
        <translation>項目の保存には %1 MiB を超える大きさが必要ですが、Korvani はそれより大きいファイルを読み込みません。</translation>
    </message>
</context>
<context>
    <name>LauncherDocument</name>
    <message>
        <source>Korvani</source>
        <translation>Korvani</translation>
    </message>
    <message>
        <source>it is not a JSON list of entries.</source>
        <translation>項目の JSON リストではありません。</translation>
    </message>
    <message>
        <source>The entries in %1 could not be read: %2</source>
        <translation>%1 の項目を読み込めませんでした: %2</translation>
    </message>
    <message numerus="yes">
        <source>Korvani cannot keep everything that %1 holds (%n places):</source>
        <translation>
            <numerusform>%1 の内容のうち Korvani が保存できないものがあります (%n か所):</numerusform>
        </translation>
    </message>
    <message>
        <source>Saving leaves these out.</source>
        <translation>保存するとこれらは失われます。</translation>
    </message>
    <message>
        <source>Korvani does not save over it until it is moved away or repaired, as no copy of it could be made.</source>
        <translation>コピーを作成できなかったため、移動または修復されるまで Korvani はこのファイルに上書き保存しません。</translation>
    </message>
    <message>
        <source>It is kept as %1.</source>
        <translation>%1 として保存されています。</translation>
    </message>
    <message>
        <source>The entries in %1 were changed by another program since Korvani last read or saved them, and you have changes that are not saved.</source>
        <translation>Korvani が最後に読み込みまたは保存した後、%1 の項目が別のプログラムによって変更されました。保存していない変更があります。</translation>
    </message>
    <message>
        <source>Reload shows their entries and drops your changes. Keep mine saves your entries and keeps theirs as %1.</source>
        <translation>「再読み込み」は別のプログラムの項目を表示し、あなたの変更を破棄します。「自分の変更を残す」はあなたの項目を保存し、別のプログラムの項目を %1 として残します。</translation>
    </message>
    <message>
        <source>The entries could not be saved to %1.
%2</source>
        <translation>%1 に項目を保存できませんでした。
%2</translation>
    </message>
    <message>
        <source>The entries were not saved: the version of %1 that another program wrote could not be kept as %2.
%3</source>
        <translation>項目は保存されませんでした: 別のプログラムが書いた %1 を %2 として残せませんでした。
%3</translation>
    </message>
    <message>
        <source>It could not be read, and no copy of it could be made: move it away or repair it, then save again.</source>
        <translation>読み込めず、コピーも作成できませんでした。移動または修復してから、もう一度保存してください。</translation>
    </message>
</context>
<context>
    <name>InstanceGuard</name>
    <message>
        <source>Korvani does not start, as it cannot set up %1, which makes sure that it runs only once for you.</source>
        <translation>Korvani が二重に起動しないようにするための %1 を用意できないため、起動しません。</translation>
    </message>
    <message>
        <source>Its path is too long for a local socket.</source>
        <translation>ローカルソケットにはパスが長すぎます。</translation>
    </message>
    <message>
        <source>It cannot be written.</source>
        <translation>書き込めません。</translation>
    </message>
    <message>
        <source>Another Korvani holds it but does not answer.</source>
        <translation>別の Korvani が使用していますが、応答がありません。</translation>
    </message>
</context>
<context>
    <name>PortalGlobalShortcut</name>
    <message>
        <source>Show or hide Korvani</source>
        <translation>Korvani を表示または非表示にする</translation>
    </message>
</context>
<context>
    <name>LaunchProcess</name>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 はまだ実行中です。</translation>
    </message>
    <message>
        <source>%1 ended with exit status %2.</source>
        <translation>%1 は終了ステータス %2 で終了しました。</translation>
    </message>
</context>
<context>
    <name>LaunchReportBox</name>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Keep running</source>
        <translation>実行を続ける</translation>
    </message>
</context>
<context>
    <name>LaunchService</name>
    <message>
        <source>The batch file %1 could not be written: %2</source>
        <translation>バッチファイル %1 を書き込めませんでした: %2</translation>
    </message>
</context>
<context>
    <name>LauncherKeys</name>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>お気に入り</translation>
    </message>
    <message>
        <source>Heart</source>
        <translation>ハート</translation>
    </message>
    <message>
        <source>Diamond</source>
        <translation>ダイヤ</translation>
    </message>
    <message>
        <source>Spade</source>
        <translation>スペード</translation>
    </message>
    <message>
        <source>Club</source>
        <translation>クラブ</translation>
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
        <translation>ファイル(&amp;F)</translation>
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
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Add Installed Programs...</source>
        <translation>インストール済みのプログラムを追加...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>Online &amp;Manual</source>
        <translation>オンラインマニュアル(&amp;M)</translation>
    </message>
    <message>
        <source>About &amp;Korvani</source>
        <translation>Korvaniについて(&amp;K)</translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation>Qtについて(&amp;Q)</translation>
    </message>
    <message>
        <source>About Korvani</source>
        <translation>Korvaniについて</translation>
    </message>
    <message>
        <source>&lt;p&gt;Korvani is built with the Qt toolkit. More about Korvani at &lt;a href=&quot;https://korvani.org&quot;&gt;korvani.org&lt;/a&gt;.&lt;/p&gt;</source>
        <translation>&lt;p&gt;KorvaniはQtツールキットで作られています。詳しくは&lt;a href=&quot;https://korvani.org&quot;&gt;korvani.org&lt;/a&gt;をご覧ください。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>The settings in %1 are neither read nor written: it is not a regular file of at most 1 MiB.</source>
        <translation>%1 の設定は読み書きされません: 1 MiB 以下の通常のファイルではありません。</translation>
    </message>
    <message>
        <source>Korvani keeps running here. Click this icon to show it again or to launch an entry; choose Quit in its menu to end it.</source>
        <translation>Korvani はここで動作を続けます。このアイコンをクリックすると、ウィンドウを再び表示したり項目を起動したりできます。終了するには、メニューの「終了」を選んでください。</translation>
    </message>
</context>
<context>
    <name>MessageBoxPrompts</name>
    <message>
        <source>Korvani</source>
        <translation>Korvani</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>再読み込み</translation>
    </message>
    <message>
        <source>Keep mine</source>
        <translation>自分の変更を残す</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Quit without saving</source>
        <translation>保存せずに終了</translation>
    </message>
</context>
<context>
    <name>Platform</name>
    <message>
        <source>It is not a folder.</source>
        <translation>フォルダではありません。</translation>
    </message>
    <message>
        <source>It belongs to another user.</source>
        <translation>別のユーザーのものです。</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>通常のファイルではありません。</translation>
    </message>
    <message>
        <source>It is larger than %1 KiB.</source>
        <translation>%1 KiB を超えています。</translation>
    </message>
    <message>
        <source>It is a link to something that is not a regular file.</source>
        <translation>通常のファイル以外へのリンクです。</translation>
    </message>
    <message>
        <source>Korvani cannot keep its data in the folder %1.</source>
        <translation>Korvani はデータをフォルダ %1 に保存できません。</translation>
    </message>
    <message>
        <source>%1 ended abnormally with status 0x%2.</source>
        <translation>%1 は異常終了しました (ステータス 0x%2)。</translation>
    </message>
    <message>
        <source>%1 was ended by signal %2 (%3).</source>
        <translation>%1 はシグナル %2 (%3) で終了しました。</translation>
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
        <translation>ファイルの選択</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>フォルダの選択</translation>
    </message>
</context>
<context>
    <name>TrayMenu</name>
    <message>
        <source>Show Korvani</source>
        <translation>Korvaniを表示</translation>
    </message>
    <message>
        <source>Hide Korvani</source>
        <translation>Korvaniを隠す</translation>
    </message>
</context>
<context>
    <name>ProgramImport</name>
    <message>
        <source>%1 was not added: %2</source>
        <translation>%1 は追加されませんでした: %2</translation>
    </message>
    <message>
        <source>Its program cannot be written into a batch file.</source>
        <translation>そのプログラムはバッチファイルに書き込めません。</translation>
    </message>
    <message>
        <source>Its command holds a line break or another control character.</source>
        <translation>そのコマンドには改行などの制御文字が含まれています。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
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

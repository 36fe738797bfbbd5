<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>TCompareDialog</name>
    <message>
        <source>パターン</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>アライメント</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>アニメーション</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>CHRタイル</source>
        <translation>CHR tile</translation>
    </message>
    <message>
        <source>比較</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>%1 との違い: %2 件</source>
        <translation>Differences from %1: %2</translation>
    </message>
</context>
<context>
    <name>TEmulator</name>
    <message>
        <source>エミュレータの設定</source>
        <translation>Emulator Settings</translation>
    </message>
    <message>
        <source>エミュレータのコマンド (%f は ROM ファイル):</source>
        <translation>Emulator command (%f is the ROM file):</translation>
    </message>
    <message>
        <source>一時フォルダを作れません: %1</source>
        <translation>Cannot make a temporary folder: %1</translation>
    </message>
    <message>
        <source>エミュレータのコマンドが空です</source>
        <translation>The emulator command is empty</translation>
    </message>
    <message>
        <source>エミュレータを起動できません: %1</source>
        <translation>Cannot start the emulator: %1</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>アニメーション</source>
        <translation>Animations</translation>
    </message>
    <message>
        <source>バンク:</source>
        <translation>Bank:</translation>
    </message>
    <message>
        <source>アニメーション番号:</source>
        <translation>Animation number:</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>アニメーション定義アドレス:</source>
        <translation>Animation definition address:</translation>
    </message>
    <message>
        <source>フレーム数:</source>
        <translation>Frame count:</translation>
    </message>
    <message>
        <source>次のパターンに切り替わるまでのフレーム数:</source>
        <translation>Frames per pattern:</translation>
    </message>
    <message>
        <source>アニメーション定義:</source>
        <translation>Animation definition:</translation>
    </message>
    <message>
        <source>スプライトパターン</source>
        <translation>Sprite Patterns</translation>
    </message>
    <message>
        <source>番号(上位):</source>
        <translation>Number (high):</translation>
    </message>
    <message>
        <source>番号(下位):</source>
        <translation>Number (low):</translation>
    </message>
    <message>
        <source>スプライトパターン定義アドレス:</source>
        <translation>Pattern definition address:</translation>
    </message>
    <message>
        <source>使用スプライト数:</source>
        <translation>Sprites used:</translation>
    </message>
    <message>
        <source>スプライト配置データ番号:</source>
        <translation>Alignment data number:</translation>
    </message>
    <message>
        <source>スプライト配置データのアドレス:</source>
        <translation>Alignment data address:</translation>
    </message>
    <message>
        <source>スプライトパターン定義:</source>
        <translation>Pattern definition:</translation>
    </message>
    <message>
        <source>スプライト配置データ(Y,X):</source>
        <translation>Alignment data (Y,X):</translation>
    </message>
    <message>
        <source>キャラクタバンク番号:</source>
        <translation>CHR bank number:</translation>
    </message>
    <message>
        <source>キャラクタバンクのアドレス:</source>
        <translation>CHR bank address:</translation>
    </message>
    <message>
        <source>読み込み位置:</source>
        <translation>Load offset:</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>TARVELINROMイメージ(*.nes)|*.nes</source>
        <translation>TARVELIN ROM image (*.nes)|*.nes</translation>
    </message>
    <message>
        <source>PNG画像(*.png)|*.png|ビットマップ(*.bmp)|*.bmp</source>
        <translation>PNG image (*.png)|*.png|Bitmap (*.bmp)|*.bmp</translation>
    </message>
    <message>
        <source>GIFアニメーション(*.gif)|*.gif|APNGアニメーション(*.png)|*.png</source>
        <translation>GIF animation (*.gif)|*.gif|APNG animation (*.png)|*.png</translation>
    </message>
    <message>
        <source>IPS/BPSパッチ(*.ips *.bps)|*.ips *.bps</source>
        <translation>IPS/BPS patch (*.ips *.bps)|*.ips *.bps</translation>
    </message>
    <message>
        <source>IPSパッチ(*.ips)|*.ips|BPSパッチ(*.bps)|*.bps</source>
        <translation>IPS patch (*.ips)|*.ips|BPS patch (*.bps)|*.bps</translation>
    </message>
    <message>
        <source>スプライトパターン番号 (16進数 000-1FF):</source>
        <translation>Sprite pattern number (hex 000-1FF):</translation>
    </message>
    <message>
        <source>アニメーション番号 (16進数 00-FF):</source>
        <translation>Animation number (hex 00-FF):</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Go To</translation>
    </message>
    <message>
        <source>「%1」はスプライトパターン番号ではありません。16進数 000-1FF で入力してください。</source>
        <translation>&quot;%1&quot; is not a sprite pattern number. Enter hex 000-1FF.</translation>
    </message>
    <message>
        <source>「%1」はアニメーション番号ではありません。16進数 00-FF で入力してください。</source>
        <translation>&quot;%1&quot; is not an animation number. Enter hex 00-FF.</translation>
    </message>
    <message>
        <source>フレーム %1/%2 停止 ($00)</source>
        <translation>Frame %1/%2 stop ($00)</translation>
    </message>
    <message>
        <source>フレーム %1/%2 パターン $%3</source>
        <translation>Frame %1/%2 pattern $%3</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>拡大(&amp;I)</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>縮小(&amp;O)</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>パッチを当てて開く(&amp;P)...</source>
        <translation>Open with &amp;Patch...</translation>
    </message>
    <message>
        <source>ROMを上書き保存(&amp;R)</source>
        <translation>Sa&amp;ve ROM</translation>
    </message>
    <message>
        <source>ROMに名前を付けて保存(&amp;M)...</source>
        <translation>Save RO&amp;M As...</translation>
    </message>
    <message>
        <source>パッチを書き出す(&amp;E)...</source>
        <translation>&amp;Export Patch...</translation>
    </message>
    <message>
        <source>画像を保存(&amp;S)...</source>
        <translation>&amp;Save Picture...</translation>
    </message>
    <message>
        <source>アニメーションを保存(&amp;A)...</source>
        <translation>Save &amp;Animation...</translation>
    </message>
    <message>
        <source>エミュレータで実行(&amp;U)</source>
        <translation>R&amp;un in Emulator</translation>
    </message>
    <message>
        <source>エミュレータの設定(&amp;T)...</source>
        <translation>Emula&amp;tor Settings...</translation>
    </message>
    <message>
        <source>比較(&amp;C)...</source>
        <translation>&amp;Compare...</translation>
    </message>
    <message>
        <source>移動(&amp;G)...</source>
        <translation>&amp;Go To...</translation>
    </message>
    <message>
        <source>一覧(&amp;L)...</source>
        <translation>O&amp;verview...</translation>
    </message>
    <message>
        <source>背景色(&amp;B)</source>
        <translation>&amp;Background Color</translation>
    </message>
    <message>
        <source>チェッカーボード(&amp;C)</source>
        <translation>&amp;Checkerboard</translation>
    </message>
    <message>
        <source>%1 (標準)</source>
        <translation>%1 (default)</translation>
    </message>
    <message>
        <source>背景を透明にして保存・コピー(&amp;T)</source>
        <translation>&amp;Transparent Background in Saves and Copies</translation>
    </message>
    <message>
        <source>タイルウィンドウ全体(&amp;W)</source>
        <translation>&amp;Whole Tile Window</translation>
    </message>
    <message>
        <source>スキャンライン検査(&amp;S)</source>
        <translation>&amp;Scanline Check</translation>
    </message>
    <message>
        <source>オニオンスキン(&amp;N)</source>
        <translation>O&amp;nion Skin</translation>
    </message>
    <message>
        <source>言語 / Language(&amp;A)</source>
        <translation>L&amp;anguage</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>ファイルが %1 バイトしかありません (完全なイメージは %2 バイト)。それ以降は以前の内容のままです</source>
        <translation>The file has only %1 bytes (a whole image has %2 bytes). The rest keeps its earlier contents</translation>
    </message>
    <message>
        <source>ROMの変更が保存されていません。保存しますか?</source>
        <translation>The changes to the ROM are not saved. Save them?</translation>
    </message>
    <message>
        <source>%1 を上書きします。よろしいですか?</source>
        <translation>This overwrites %1. Go ahead?</translation>
    </message>
    <message>
        <source>%1 は読み込んだ後(または保存した後)にほかのプログラムで変更されています。</source>
        <translation>%1 was changed by another program after it was loaded (or saved).</translation>
    </message>
    <message>
        <source>上書き保存</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>名前を付けて保存...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>開いたときの %1 から変わったバイトがありません。何も変えないパッチを書き出しますか?</source>
        <translation>No byte differs from %1 as it was opened. Export a patch that changes nothing?</translation>
    </message>
    <message>
        <source>当てるパッチを開く</source>
        <translation>Open the Patch to Apply</translation>
    </message>
    <message>
        <source>パッチを当てるROMを開く</source>
        <translation>Open the ROM to Patch</translation>
    </message>
    <message>
        <source>パッチ %1: %2</source>
        <translation>Patch %1: %2</translation>
    </message>
    <message>
        <source>ROMを保存しました: %1、前回の保存から変わったのは %2</source>
        <translation>ROM saved: %1; changed since the last save: %2</translation>
    </message>
    <message>
        <source>.ips か .bps にしてください</source>
        <translation>use .ips or .bps</translation>
    </message>
    <message>
        <source>%1パッチを書き出しました: %2、元のROM %3 (CRC32 %4) との違いは %5</source>
        <translation>%1 patch exported: %2; differences from the original ROM %3 (CRC32 %4): %5</translation>
    </message>
    <message>
        <source>: 同じ保存で書いた %1 を上書きしてしまいます</source>
        <translation>: it would overwrite %1, written by the same save</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>保存しました: %1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>.png か .bmp にしてください</source>
        <translation>use .png or .bmp</translation>
    </message>
    <message>
        <source>.gif か .png (APNG) にしてください</source>
        <translation>use .gif or .png (APNG)</translation>
    </message>
    <message>
        <source>復元用の記録を書けません: %1</source>
        <translation>Cannot write the recovery journal: %1</translation>
    </message>
    <message>
        <source>%1 の保存されていない変更の記録がありますが、ファイルがその後変更されているため復元できません。</source>
        <translation>There is a journal of unsaved changes to %1, but the file has changed since, so they cannot be restored.</translation>
    </message>
    <message>
        <source>%1 の保存されていない変更が残っています。復元しますか?</source>
        <translation>Unsaved changes to %1 were left behind. Restore them?</translation>
    </message>
    <message>
        <source>復元</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>破棄</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>後で</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>ROMファイルが外部で変更されました。編集内容を破棄して読み込み直しますか?
(いいえ: 編集内容を残します)</source>
        <translation>The ROM file was changed by another program. Discard your edits and load it again?
(No: keep your edits)</translation>
    </message>
    <message>
        <source>比較</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>ROMイメージ・パッチ (*.nes *.ips *.bps);;すべて (*)</source>
        <translation>ROM images and patches (*.nes *.ips *.bps);;All files (*)</translation>
    </message>
    <message>
        <source>ROMファイルが変更されたため読み込み直しました</source>
        <translation>The ROM file changed on disk and was loaded again</translation>
    </message>
</context>
<context>
    <name>TSheetDialog</name>
    <message>
        <source>%1 %2フレーム</source>
        <translation>%1 %2 frames</translation>
    </message>
    <message>
        <source>一覧</source>
        <translation>Overview</translation>
    </message>
    <message>
        <source>スプライトパターン</source>
        <translation>Sprite Patterns</translation>
    </message>
    <message>
        <source>アニメーション</source>
        <translation>Animations</translation>
    </message>
    <message>
        <source>バンク:</source>
        <translation>Bank:</translation>
    </message>
</context>
<context>
    <name>TarvelinFcPalette</name>
    <message>
        <source>パレットが見つかりません</source>
        <translation>Palette not found</translation>
    </message>
</context>
<context>
    <name>TarvelinFileIO</name>
    <message>
        <source>ファイルサイズが異常です</source>
        <translation>Invalid file size</translation>
    </message>
    <message>
        <source>ヘッダが異常です</source>
        <translation>Invalid header</translation>
    </message>
</context>
<context>
    <name>TarvelinFiles</name>
    <message>
        <source>通常のファイルではありません</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>書き込みが禁止されています</source>
        <translation>the file is write-protected</translation>
    </message>
    <message>
        <source>フォルダがありません</source>
        <translation>no such folder</translation>
    </message>
    <message>
        <source>途中の名前がフォルダではありません</source>
        <translation>a name on the way is not a folder</translation>
    </message>
    <message>
        <source>書き込みが許可されていません</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>読み取り専用のファイルシステムです</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>ディスクの空きが足りません</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります</source>
        <translation>a folder has that name</translation>
    </message>
    <message>
        <source>名前が長すぎます</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>ディスクの読み書きに失敗しました</source>
        <translation>the disk failed to read or write</translation>
    </message>
    <message>
        <source>システムのエラー番号 %1</source>
        <translation>system error number %1</translation>
    </message>
</context>
<context>
    <name>TarvelinFreeSpaceFile</name>
    <message>
        <source>空き領域ファイルの %1 行目: %2</source>
        <translation>Free space file, line %1: %2</translation>
    </message>
    <message>
        <source>16 進のファイル位置が要ります</source>
        <translation>a file offset in hex is needed</translation>
    </message>
    <message>
        <source>空き領域ファイルが大きすぎます</source>
        <translation>The free space file is too large</translation>
    </message>
    <message>
        <source>&quot;%1&quot; で始まる空き領域ファイルではありません</source>
        <translation>not a free space file starting with &quot;%1&quot;</translation>
    </message>
    <message>
        <source>最初と最後のファイル位置が要ります</source>
        <translation>a first and a last file offset are needed</translation>
    </message>
    <message>
        <source>最初の位置が最後の位置より後ろです</source>
        <translation>the first offset is after the last</translation>
    </message>
    <message>
        <source>PRG-ROM ($00010-$4000F) の外です</source>
        <translation>outside the PRG-ROM ($00010-$4000F)</translation>
    </message>
    <message>
        <source>空き領域ファイルが空です</source>
        <translation>The free space file is empty</translation>
    </message>
    <message>
        <source>空き領域ファイル %1 は開けません</source>
        <translation>Cannot open the free space file %1</translation>
    </message>
    <message>
        <source>空き領域ファイル %1 が読めません</source>
        <translation>Cannot read the free space file %1</translation>
    </message>
</context>
<context>
    <name>TarvelinPatch</name>
    <message>
        <source>BPSパッチ: %1</source>
        <translation>BPS patch: %1</translation>
    </message>
    <message>
        <source>数値が大きすぎます</source>
        <translation>a number is too large</translation>
    </message>
    <message>
        <source>途中で切れています</source>
        <translation>it is cut short</translation>
    </message>
    <message>
        <source>コピー元がファイルの前に出ます</source>
        <translation>a copy reads from before the start of the file</translation>
    </message>
    <message>
        <source>&quot;BPS1&quot; で始まっていません</source>
        <translation>it does not start with &quot;BPS1&quot;</translation>
    </message>
    <message>
        <source>壊れています (パッチの CRC が合いません)</source>
        <translation>it is damaged (the patch CRC does not match)</translation>
    </message>
    <message>
        <source>このROMに当てるパッチではありません (元のROMの CRC が合いません)</source>
        <translation>This patch is not for this ROM (the source CRC does not match)</translation>
    </message>
    <message>
        <source>結果が %1 バイトを超えます</source>
        <translation>the result exceeds %1 bytes</translation>
    </message>
    <message>
        <source>命令が結果の終わりを越えます</source>
        <translation>an action goes past the end of the result</translation>
    </message>
    <message>
        <source>命令が元のROMの終わりを越えます</source>
        <translation>an action goes past the end of the source ROM</translation>
    </message>
    <message>
        <source>命令がまだ書かれていない結果を読みます</source>
        <translation>an action reads result bytes not yet written</translation>
    </message>
    <message>
        <source>命令が結果の終わりまで届きません</source>
        <translation>the actions stop short of the end of the result</translation>
    </message>
    <message>
        <source>結果の CRC が合いません</source>
        <translation>the result CRC does not match</translation>
    </message>
    <message>
        <source>IPSパッチ: %1</source>
        <translation>IPS patch: %1</translation>
    </message>
    <message>
        <source>&quot;PATCH&quot; で始まっていません</source>
        <translation>it does not start with &quot;PATCH&quot;</translation>
    </message>
    <message>
        <source>%1 の記録が途中で切れています (&quot;EOF&quot; がありません)</source>
        <translation>the record at %1 is cut short (no &quot;EOF&quot;)</translation>
    </message>
    <message>
        <source>%1 の記録の長さが 0 です</source>
        <translation>the record at %1 has length 0</translation>
    </message>
    <message>
        <source>%1 の記録が %2 バイトを超えて書き込みます</source>
        <translation>the record at %1 writes past %2 bytes</translation>
    </message>
    <message>
        <source>&quot;EOF&quot; の後に余分なデータがあります</source>
        <translation>extra data after &quot;EOF&quot;</translation>
    </message>
    <message>
        <source>&quot;EOF&quot; の後の長さがファイルより長くなっています</source>
        <translation>the length after &quot;EOF&quot; is longer than the file</translation>
    </message>
    <message>
        <source>IPSパッチでもBPSパッチでもありません</source>
        <translation>Neither an IPS nor a BPS patch</translation>
    </message>
</context>
<context>
    <name>TarvelinPixelTrace</name>
    <message>
        <source>タイル</source>
        <translation>Tile</translation>
    </message>
    <message>
        <source> 読み込みなし</source>
        <translation> not loaded</translation>
    </message>
    <message>
        <source> 左右反転</source>
        <translation> H flip</translation>
    </message>
    <message>
        <source> 上下反転</source>
        <translation> V flip</translation>
    </message>
    <message>
        <source> 上下左右反転</source>
        <translation> H+V flip</translation>
    </message>
    <message>
        <source> 色</source>
        <translation> Color</translation>
    </message>
    <message>
        <source> チェッカーボード</source>
        <translation> checkerboard</translation>
    </message>
    <message>
        <source> 透明</source>
        <translation> transparent</translation>
    </message>
    <message>
        <source> スプライト</source>
        <translation> Sprite</translation>
    </message>
    <message>
        <source> 定義</source>
        <translation> Def</translation>
    </message>
    <message>
        <source> 配置</source>
        <translation> Align</translation>
    </message>
    <message>
        <source> タイル</source>
        <translation> Tile</translation>
    </message>
    <message>
        <source> パレット</source>
        <translation> Palette</translation>
    </message>
</context>
<context>
    <name>TarvelinRelocate</name>
    <message>
        <source>%1 と %2</source>
        <translation>%1 and %2</translation>
    </message>
    <message>
        <source>空き領域が足りません: %1 バイトが %2 の中に要ります</source>
        <translation>Not enough free space: %1 bytes are needed within %2</translation>
    </message>
    <message>
        <source>バンクの番号が正しくありません</source>
        <translation>Invalid bank number</translation>
    </message>
    <message>
        <source>%1 の %2</source>
        <translation>%2 of bank %1</translation>
    </message>
    <message>
        <source>パターン %1 が スプライト定義 %2 だけを共有しています。先に切り離してください</source>
        <translation>Pattern %1 shares only the pattern definition at %2. Separate them first</translation>
    </message>
    <message>
        <source>パターン %1 が 配置データ %2 だけを共有しています。先に切り離してください</source>
        <translation>Pattern %1 shares only the alignment data at %2. Separate them first</translation>
    </message>
    <message>
        <source>フレーム %1 はありません (%2 枚)</source>
        <translation>There is no frame %1 (%2 frames)</translation>
    </message>
    <message>
        <source>フレームは 128 枚までです</source>
        <translation>At most 128 frames</translation>
    </message>
    <message>
        <source>スプライトは 256 個までです</source>
        <translation>At most 256 sprites</translation>
    </message>
    <message>
        <source>スプライト %1 の前には入れられません</source>
        <translation>Cannot insert before sprite %1</translation>
    </message>
    <message>
        <source>最後のスプライトは消せません</source>
        <translation>The last sprite cannot be deleted</translation>
    </message>
    <message>
        <source>スプライト %1 はありません (%2 個)</source>
        <translation>There is no sprite %1 (%2 sprites)</translation>
    </message>
    <message>
        <source>フレーム %1 の前には入れられません</source>
        <translation>Cannot insert before frame %1</translation>
    </message>
    <message>
        <source>最後のフレームは消せません</source>
        <translation>The last frame cannot be deleted</translation>
    </message>
    <message>
        <source>バンク %1 の配置データ番号はすべて使われています</source>
        <translation>Every alignment data number of bank %1 is in use</translation>
    </message>
</context>
<context>
    <name>TarvelinRomDocument</name>
    <message>
        <source>パッチファイルが大きすぎます</source>
        <translation>The patch file is too large</translation>
    </message>
    <message>
        <source>iNESヘッダ (%1) は書き換えられません</source>
        <translation>The iNES header (%1) cannot be changed</translation>
    </message>
    <message>
        <source>%1 は読み込んだファイルの終わりより後ろです</source>
        <translation>%1 is past the end of the loaded file</translation>
    </message>
    <message>
        <source>%1 への書き込みが一つの変更に二つあります</source>
        <translation>One change writes twice to %1</translation>
    </message>
</context>
<context>
    <name>TarvelinRomEdits</name>
    <message>
        <source>バンクの番号が正しくありません</source>
        <translation>Invalid bank number</translation>
    </message>
    <message>
        <source>スプライト %1 はありません (%2 個)</source>
        <translation>There is no sprite %1 (%2 sprites)</translation>
    </message>
    <message>
        <source>%1は $00-$FF です</source>
        <translation>%1 must be $00-$FF</translation>
    </message>
    <message>
        <source>キャラクタバンク番号</source>
        <translation>CHR bank number</translation>
    </message>
    <message>
        <source>スプライト配置データ番号</source>
        <translation>Alignment data number</translation>
    </message>
    <message>
        <source>スプライト数は減らすことしかできません</source>
        <translation>The sprite count can only be lowered</translation>
    </message>
    <message>
        <source>タイル番号</source>
        <translation>Tile number</translation>
    </message>
    <message>
        <source>パレットは 0-3 です</source>
        <translation>The palette must be 0-3</translation>
    </message>
    <message>
        <source>フレームの長さは 1-256 です</source>
        <translation>Frames per pattern must be 1-256</translation>
    </message>
    <message>
        <source>フレーム数は減らすことしかできません</source>
        <translation>The frame count can only be lowered</translation>
    </message>
    <message>
        <source>パターン番号</source>
        <translation>Pattern number</translation>
    </message>
    <message>
        <source>フレーム %1 はありません (%2 枚)</source>
        <translation>There is no frame %1 (%2 frames)</translation>
    </message>
    <message>
        <source>タイルの点が正しくありません</source>
        <translation>Invalid tile pixel</translation>
    </message>
</context>
<context>
    <name>TarvelinSaveNames</name>
    <message>
        <source>: 拡張子 %1 の形式では保存できません (%2)</source>
        <translation>: cannot save in the format of the extension %1 (%2)</translation>
    </message>
    <message>
        <source>%1 (%2 バイト)</source>
        <translation>%1 (%2 bytes)</translation>
    </message>
    <message>
        <source>%1 バイト (%2 か所)</source>
        <translation>%1 bytes (%2 places)</translation>
    </message>
</context>
<context>
    <name>host</name>
    <message>
        <source>システム リソースが不足しています</source>
        <translation>Out of system resources</translation>
    </message>
    <message>
        <source>キャンバスには描画できません</source>
        <translation>Canvas does not allow drawing</translation>
    </message>
    <message>
        <source>クリップボードにデータを設定できません</source>
        <translation>Cannot set data in the clipboard</translation>
    </message>
    <message>
        <source>クリップボードを開けません</source>
        <translation>Cannot open the clipboard</translation>
    </message>
    <message>
        <source>ファイル %s は開けません</source>
        <translation>Cannot open file %s</translation>
    </message>
    <message>
        <source>ファイル %s を作成できません</source>
        <translation>Cannot create file %s</translation>
    </message>
    <message>
        <source>ストリームの読み込みエラー</source>
        <translation>Stream read error</translation>
    </message>
    <message>
        <source>ストリームの書き込みエラー</source>
        <translation>Stream write error</translation>
    </message>
    <message>
        <source>%s を %s に代入できません</source>
        <translation>Cannot assign a %s to a %s</translation>
    </message>
    <message>
        <source>不明なピクチャファイルの拡張子です (.%s)</source>
        <translation>Unknown picture file extension (.%s)</translation>
    </message>
</context>
</TS>

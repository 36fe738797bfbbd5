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
    <name>TEditAnimationPanel</name>
    <message>
        <source>アニメーション %1 フレーム %2 の挿入</source>
        <translation>Insert frame %2 in animation %1</translation>
    </message>
    <message>
        <source>アニメーション %1 フレーム %2 の削除</source>
        <translation>Delete frame %2 of animation %1</translation>
    </message>
    <message>
        <source>アニメーション %1 フレーム %2 の複製</source>
        <translation>Duplicate frame %2 of animation %1</translation>
    </message>
    <message>
        <source>アニメーション %1 フレーム %2 の移動</source>
        <translation>Move frame %2 of animation %1</translation>
    </message>
    <message>
        <source>アニメーション %1 をこのアニメーションだけに</source>
        <translation>Give animation %1 a record of its own</translation>
    </message>
    <message>
        <source>アニメーション %1 のパターン番号の上位</source>
        <translation>Pattern number high bit of animation %1</translation>
    </message>
    <message>
        <source>1フレームの長さ</source>
        <translation>Frames per pattern</translation>
    </message>
    <message>
        <source>10進数 1-256</source>
        <translation>decimal 1-256</translation>
    </message>
    <message>
        <source>パターン番号の上位:</source>
        <translation>Pattern number high bit:</translation>
    </message>
    <message>
        <source>1フレームの長さ:</source>
        <translation>Frames per pattern:</translation>
    </message>
    <message>
        <source>パターン番号(下位): $</source>
        <translation>Pattern number (low): $</translation>
    </message>
    <message>
        <source>挿入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>複製</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>上へ</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下へ</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>このアニメーションだけ</source>
        <translation>This Animation Only</translation>
    </message>
    <message>
        <source>%1: $00 (終わり)</source>
        <translation>%1: $00 (end)</translation>
    </message>
    <message>
        <source>アニメーション</source>
        <comment>used by 2 or more of them</comment>
        <translation>animations</translation>
    </message>
    <message>
        <source>アニメーション %1 のフレーム %2</source>
        <translation>Frame %2 of animation %1</translation>
    </message>
    <message>
        <source>アニメーション %1 の1フレームの長さ</source>
        <translation>Frames per pattern of animation %1</translation>
    </message>
</context>
<context>
    <name>TEditChrPencil</name>
    <message>
        <source>鉛筆</source>
        <translation>Pencil</translation>
    </message>
    <message>
        <source>パターンテーブルのタイルの点を描きます</source>
        <translation>Draws pixels of the pattern table&apos;s tiles</translation>
    </message>
    <message>
        <source>キャラクタバンク $%1 タイル$%2 の描画</source>
        <translation>Draw on CHR bank $%1 tile $%2</translation>
    </message>
</context>
<context>
    <name>TEditFields</name>
    <message>
        <source>値が入力されていません</source>
        <translation>No value entered</translation>
    </message>
    <message>
        <source>「%1」は16進数ではありません</source>
        <translation>&quot;%1&quot; is not hex</translation>
    </message>
    <message>
        <source>「%1」は2桁を超えています</source>
        <translation>&quot;%1&quot; has more than 2 digits</translation>
    </message>
    <message>
        <source>「%1」の符号の後が10進数ではありません</source>
        <translation>&quot;%1&quot; is not decimal after its sign</translation>
    </message>
    <message>
        <source>「%1」は範囲外です</source>
        <translation>&quot;%1&quot; is out of range</translation>
    </message>
    <message>
        <source>16進数 00-FF か 10進数 -128〜+127</source>
        <translation>hex 00-FF or decimal -128 to +127</translation>
    </message>
    <message>
        <source>16進数 00-FF</source>
        <translation>hex 00-FF</translation>
    </message>
    <message>
        <source>タイル</source>
        <translation>Tile</translation>
    </message>
    <message>
        <source>%1: %2 で入力してください</source>
        <translation>%1: enter %2</translation>
    </message>
    <message>
        <source>%1: %2。%3 で入力してください</source>
        <translation>%1: %2. Enter %3</translation>
    </message>
</context>
<context>
    <name>TEditPanel</name>
    <message>
        <source>編集パネル</source>
        <translation>Edit Panel</translation>
    </message>
    <message>
        <source>編集パネル(&amp;P)</source>
        <translation>Edit &amp;Panel</translation>
    </message>
</context>
<context>
    <name>TEditSpritePanel</name>
    <message>
        <source>%1 : %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source> ほか %1</source>
        <translation> and %1 more</translation>
    </message>
    <message numerus="yes">
        <source>%1 は他の %n パターンでも使われています</source>
        <translation>
            <numerusform>%1 is also used by %n other pattern</numerusform>
            <numerusform>%1 is also used by %n other patterns</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 を書き換えました: 他の %n パターンも変わります</source>
        <translation>
            <numerusform>Changed %1: %n other pattern changes too</numerusform>
            <numerusform>Changed %1: %n other patterns change too</numerusform>
        </translation>
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
        <source>16進数 00-FF</source>
        <translation>hex 00-FF</translation>
    </message>
    <message>
        <source>キャラクタバンク番号: $</source>
        <translation>CHR bank number: $</translation>
    </message>
    <message>
        <source>スプライト配置データ番号: $</source>
        <translation>Alignment data number: $</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>タイル</source>
        <translation>Tile</translation>
    </message>
    <message>
        <source>上下</source>
        <translation>V flip</translation>
    </message>
    <message>
        <source>左右</source>
        <translation>H flip</translation>
    </message>
    <message>
        <source>パレット</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>スプライト追加</source>
        <translation>Add Sprite</translation>
    </message>
    <message>
        <source>スプライト削除</source>
        <translation>Remove Sprite</translation>
    </message>
    <message>
        <source>このパターンだけ</source>
        <translation>This Pattern Only</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 の上下反転</source>
        <translation>V flip of %1 sprite $%2</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 の左右反転</source>
        <translation>H flip of %1 sprite $%2</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 のタイル</source>
        <translation>Tile of %1 sprite $%2</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 のパレット</source>
        <translation>Palette of %1 sprite $%2</translation>
    </message>
    <message>
        <source>%1 のキャラクタバンク番号</source>
        <translation>CHR bank number of %1</translation>
    </message>
    <message>
        <source>%1 のスプライト配置データ番号</source>
        <translation>Alignment data number of %1</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 の移動</source>
        <translation>Move %1 sprite $%2</translation>
    </message>
    <message>
        <source>このパターン定義 (%1)</source>
        <translation>This pattern definition (%1)</translation>
    </message>
    <message>
        <source>スプライト配置データ $%1 (%2)</source>
        <translation>Alignment data $%1 (%2)</translation>
    </message>
    <message>
        <source>タイル $%1 (%2)</source>
        <translation>Tile $%1 (%2)</translation>
    </message>
    <message>
        <source>キャラクタバンク $%1 (%2)</source>
        <translation>CHR bank $%1 (%2)</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 の追加</source>
        <translation>Add %1 sprite $%2</translation>
    </message>
    <message>
        <source>%1 スプライト$%2 の削除</source>
        <translation>Remove %1 sprite $%2</translation>
    </message>
    <message>
        <source>パターン</source>
        <comment>used by 2 or more of them</comment>
        <translation>patterns</translation>
    </message>
    <message>
        <source>%1 をこのパターンだけに</source>
        <translation>Give %1 records of its own</translation>
    </message>
    <message>
        <source>スプライト配置データ $%1</source>
        <translation>Alignment data $%1</translation>
    </message>
    <message>
        <source>パターン定義 (%1)</source>
        <translation>Pattern definition (%1)</translation>
    </message>
    <message>
        <source>矢印: スプライトを移動 (Shift: 8ドット)</source>
        <translation>Arrows: move the sprite (Shift: 8 pixels)</translation>
    </message>
    <message>
        <source>Tab/Shift+Tab: 次/前のスプライト</source>
        <translation>Tab/Shift+Tab: next/previous sprite</translation>
    </message>
    <message>
        <source>配置データだけ切り離す</source>
        <translation>Detach Alignment Data Only</translation>
    </message>
    <message>
        <source>スプライト配置データ $%1 を空き領域に写し、このバンクの配置データ番号 $%1 だけがそれを読むようにします。パターン定義は共有のままです。</source>
        <translation>Copies alignment data $%1 into free space so that only alignment number $%1 of this bank reads it. The pattern definition stays shared.</translation>
    </message>
    <message>
        <source>%1 のスプライト配置データ $%2 の切り離し</source>
        <translation>Detach alignment data $%2 of %1</translation>
    </message>
</context>
<context>
    <name>TEditTile</name>
    <message>
        <source>左ボタン: 描く  右ボタン: 色を拾う  Ctrl+C / Ctrl+V: タイルのコピー / 貼り付け</source>
        <translation>Left button: paint  Right button: pick color  Ctrl+C / Ctrl+V: copy / paste the tile</translation>
    </message>
    <message>
        <source>描く色 (このタイルのパレットの色で表示)</source>
        <translation>Drawing color (shown in this tile&apos;s palette colors)</translation>
    </message>
    <message>
        <source>塗りつぶし</source>
        <translation>Fill</translation>
    </message>
    <message>
        <source>同じ色でつながった範囲をタイルの中で塗ります</source>
        <translation>Fills the connected area of one color within the tile</translation>
    </message>
    <message>
        <source>左右反転</source>
        <translation>H Flip</translation>
    </message>
    <message>
        <source>タイルの点を左右反転します</source>
        <translation>Flips the tile&apos;s pixels horizontally</translation>
    </message>
    <message>
        <source>上下反転</source>
        <translation>V Flip</translation>
    </message>
    <message>
        <source>タイルの点を上下反転します</source>
        <translation>Flips the tile&apos;s pixels vertically</translation>
    </message>
    <message>
        <source>タイルの点を左へ1ドットずらします (はみ出た列は右端へ)</source>
        <translation>Shifts the tile&apos;s pixels one pixel left (the column pushed out comes in on the right)</translation>
    </message>
    <message>
        <source>タイルの点を右へ1ドットずらします (はみ出た列は左端へ)</source>
        <translation>Shifts the tile&apos;s pixels one pixel right (the column pushed out comes in on the left)</translation>
    </message>
    <message>
        <source>タイルの点を上へ1ドットずらします (はみ出た行は下端へ)</source>
        <translation>Shifts the tile&apos;s pixels one pixel up (the row pushed out comes in at the bottom)</translation>
    </message>
    <message>
        <source>タイルの点を下へ1ドットずらします (はみ出た行は上端へ)</source>
        <translation>Shifts the tile&apos;s pixels one pixel down (the row pushed out comes in at the top)</translation>
    </message>
    <message>
        <source>%1 の左右反転</source>
        <translation>H flip of %1</translation>
    </message>
    <message>
        <source>%1 の上下反転</source>
        <translation>V flip of %1</translation>
    </message>
    <message>
        <source>%1 を左へずらす</source>
        <translation>Shift %1 left</translation>
    </message>
    <message>
        <source>%1 を右へずらす</source>
        <translation>Shift %1 right</translation>
    </message>
    <message>
        <source>%1 を上へずらす</source>
        <translation>Shift %1 up</translation>
    </message>
    <message>
        <source>%1 を下へずらす</source>
        <translation>Shift %1 down</translation>
    </message>
    <message>
        <source>キャラクタバンク $%1 タイル$%2</source>
        <translation>CHR bank $%1 tile $%2</translation>
    </message>
    <message>
        <source>%1 (パレット %2)</source>
        <translation>%1 (palette %2)</translation>
    </message>
    <message>
        <source>パターンテーブルのタイルをクリックすると、ここで編集できます</source>
        <translation>Click a tile in the pattern table to edit it here</translation>
    </message>
    <message>
        <source>%1 の塗りつぶし</source>
        <translation>Fill of %1</translation>
    </message>
    <message>
        <source>%1 の描画</source>
        <translation>Painting of %1</translation>
    </message>
    <message>
        <source>%1 をコピーしました</source>
        <translation>Copied %1</translation>
    </message>
    <message>
        <source>クリップボードにタイルがありません</source>
        <translation>The clipboard holds no tile</translation>
    </message>
    <message>
        <source>%1 への貼り付け</source>
        <translation>Paste into %1</translation>
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
    <name>TFreeSpaceDialog</name>
    <message numerus="yes">
        <source>%1 (%n バイト)</source>
        <translation>
            <numerusform>%1 (%n byte)</numerusform>
            <numerusform>%1 (%n bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>空き領域</source>
        <translation>Free Space</translation>
    </message>
    <message>
        <source>書き換えてよい範囲 (ファイル位置):</source>
        <translation>Ranges that may be rewritten (file offsets):</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>最初:</source>
        <translation>First:</translation>
    </message>
    <message>
        <source>最後:</source>
        <translation>Last:</translation>
    </message>
    <message>
        <source>検出</source>
        <translation>Detect</translation>
    </message>
    <message>
        <source>受け入れる</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>空き領域は PRG-ROM ($00010-$4000F) の中で、最初の位置から最後の位置までです</source>
        <translation>Free space lies inside PRG-ROM ($00010-$4000F), from the first offset to the last</translation>
    </message>
    <message>
        <source>%1 はポインタが指すデータと重なります</source>
        <translation>%1 overlaps data a pointer points to</translation>
    </message>
    <message>
        <source>空き領域 %1 の追加</source>
        <translation>Add free space %1</translation>
    </message>
    <message>
        <source>空き領域 %1 の削除</source>
        <translation>Remove free space %1</translation>
    </message>
    <message>
        <source>空き領域(&amp;F)...</source>
        <translation>&amp;Free Space...</translation>
    </message>
</context>
<context>
    <name>TImportItems</name>
    <message>
        <source>点%1</source>
        <translation>Pixel %1</translation>
    </message>
    <message>
        <source>スプライト%1</source>
        <translation>sprite %1</translation>
    </message>
    <message>
        <source>タイル%1</source>
        <translation>tile %1</translation>
    </message>
    <message>
        <source>のタイル内の点%1</source>
        <translation>at %1 in the tile</translation>
    </message>
    <message>
        <source>画像の大きさが %1 × %2 です。%3 × %4 (またはその 2-8 倍) の画像を取り込めます</source>
        <translation>The picture is %1 × %2. A picture of %3 × %4 (or 2-8 times that) can be imported</translation>
    </message>
    <message>
        <source>%1 倍に拡大された画像の点%2 のブロックが一色ではありません</source>
        <translation>The picture is scaled %1 times, and the block at pixel %2 is not one color</translation>
    </message>
    <message>
        <source>%1: 色 %2 は表示している4色のどれでもありません (近い色で取り込む(N) を選ぶと最も近い色になります)</source>
        <translation>%1: color %2 is none of the 4 colors shown (choose Import with Nearest Colors to take the nearest one)</translation>
    </message>
    <message>
        <source>%1: 色 %2 は複数の色番号に当たるので決められません。インデックスカラーの画像を使ってください</source>
        <translation>%1: color %2 matches more than one color number. Use an indexed-color picture</translation>
    </message>
    <message>
        <source>%1: この帯にはCHRバンクが読み込まれていないので色0のままにしてください</source>
        <translation>%1: no CHR bank is loaded in this band, so leave it color 0</translation>
    </message>
    <message>
        <source>%1: ここにはスプライトがないので背景のままにしてください</source>
        <translation>%1: no sprite is here, so leave it background</translation>
    </message>
    <message>
        <source>同じタイルの点が2か所で違う色になっています: %1 と %2</source>
        <translation>One pixel of a tile has two different colors: %1 and %2</translation>
    </message>
    <message>
        <source>CHRファイルが %1 バイトです。1024 バイトの倍数でなければなりません</source>
        <translation>The CHR file is %1 bytes. It must be a multiple of 1024 bytes</translation>
    </message>
    <message>
        <source>CHRファイルの %1 バンクはバンク %2 からではバンク $FF を越えます</source>
        <translation>The CHR file&apos;s %1 banks, from bank %2, go past bank $FF</translation>
    </message>
    <message>
        <source>取り込めません</source>
        <translation>Cannot import</translation>
    </message>
    <message numerus="yes">
        <source>これらのタイルは他の %n パターンでも使われています: %1</source>
        <translation>
            <numerusform>These tiles are also used by %n other pattern: %1</numerusform>
            <numerusform>These tiles are also used by %n other patterns: %1</numerusform>
        </translation>
    </message>
    <message>
        <source> ほか %1</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>取り込んでも変わるタイルはありません</source>
        <translation>The import changes no tile</translation>
    </message>
    <message>
        <source>ファイル %1 はPNGまたはBMPの画像として読み込めません</source>
        <translation>Cannot read file %1 as a PNG or BMP picture</translation>
    </message>
    <message>
        <source>クリップボードに取り込める画像がありません</source>
        <translation>The clipboard holds no picture to import</translation>
    </message>
    <message>
        <source>取り込み(&amp;I)</source>
        <translation>&amp;Import</translation>
    </message>
    <message>
        <source>パターンテーブル画像を取り込む(&amp;T)...</source>
        <translation>Import Pattern &amp;Table Picture...</translation>
    </message>
    <message>
        <source>スプライト画像を取り込む(&amp;S)...</source>
        <translation>Import &amp;Sprite Picture...</translation>
    </message>
    <message>
        <source>クリップボードの画像をパターンテーブルに(&amp;P)</source>
        <translation>&amp;Paste Picture into Pattern Table</translation>
    </message>
    <message>
        <source>クリップボードの画像をスプライトに(&amp;R)</source>
        <translation>Paste Picture into Sp&amp;rite</translation>
    </message>
    <message>
        <source>CHRファイルを取り込む(&amp;C)...</source>
        <translation>Import &amp;CHR File...</translation>
    </message>
    <message>
        <source>CHRファイルを書き出す(&amp;E)...</source>
        <translation>&amp;Export CHR File...</translation>
    </message>
    <message>
        <source>近い色で取り込む(&amp;N)</source>
        <translation>Import with &amp;Nearest Colors</translation>
    </message>
    <message>
        <source>パターンテーブル画像の取り込み</source>
        <translation>Import pattern table picture</translation>
    </message>
    <message>
        <source>スプライト画像の取り込み</source>
        <translation>Import sprite picture</translation>
    </message>
    <message>
        <source>ファイル %1 は開けないか、CHR-ROM全体より大きいファイルです</source>
        <translation>Cannot open file %1, or it is larger than the whole CHR-ROM</translation>
    </message>
    <message>
        <source>取り込む先頭のCHRバンク (16進)</source>
        <translation>First CHR bank to import into (hex)</translation>
    </message>
    <message>
        <source>CHRバンクは 00-FF の16進で入力してください</source>
        <translation>Enter CHR banks in hex, 00-FF</translation>
    </message>
    <message>
        <source>CHRバンク %1 からの取り込み</source>
        <translation>Import CHR from bank %1</translation>
    </message>
    <message>
        <source>書き出すCHRバンク (16進、範囲は 0A-0B のように)</source>
        <translation>CHR banks to export (hex; a range as 0A-0B)</translation>
    </message>
    <message>
        <source>PNG/BMP画像(*.png *.bmp)|*.png *.bmp</source>
        <translation>PNG/BMP pictures(*.png *.bmp)|*.png *.bmp</translation>
    </message>
</context>
<context>
    <name>TImportPreviewDialog</name>
    <message numerus="yes">
        <source>変わるタイル: %1 個 (%n バイト)</source>
        <translation>
            <numerusform>Tiles changed: %1 (%n byte)</numerusform>
            <numerusform>Tiles changed: %1 (%n bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>近い色にした点: %1 個</source>
        <translation>Pixels given the nearest color: %1</translation>
    </message>
    <message>
        <source>最初の %1 個を表示しています</source>
        <translation>Showing the first %1</translation>
    </message>
    <message>
        <source>各タイルの左が取り込む前、右が取り込んだ後です</source>
        <translation>Each tile: before the import on the left, after it on the right</translation>
    </message>
    <message>
        <source>取り込む</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TRecordItems</name>
    <message>
        <source>%1 は記録ファイルとしては大きすぎます</source>
        <translation>%1 is too large for a records file</translation>
    </message>
    <message>
        <source>記録をテキストで書き出す(&amp;T)...</source>
        <translation>Export Records as &amp;Text...</translation>
    </message>
    <message>
        <source>記録をテキストから読み込む(&amp;I)...</source>
        <translation>&amp;Import Records from Text...</translation>
    </message>
    <message>
        <source>%1 は読み込めません: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>記録の読み込み</source>
        <translation>Import records</translation>
    </message>
    <message numerus="yes">
        <source>記録を読み込みました: %n バイトを変更しました</source>
        <translation>
            <numerusform>Records imported: %n byte changed</numerusform>
            <numerusform>Records imported: %n bytes changed</numerusform>
        </translation>
    </message>
    <message>
        <source>記録を読み込みました: 変更はありません</source>
        <translation>Records imported: nothing changed</translation>
    </message>
    <message>
        <source>JSON(*.json)|*.json|ca65アセンブリ(*.s)|*.s|asm6アセンブリ(*.asm)|*.asm</source>
        <translation>JSON(*.json)|*.json|ca65 assembly(*.s)|*.s|asm6 assembly(*.asm)|*.asm</translation>
    </message>
</context>
<context>
    <name>TSharedEditQuestion</name>
    <message>
        <source>このデータは %1 個の%2が使っています。</source>
        <translation>This data is used by %1 %2.</translation>
    </message>
    <message>
        <source>%1 %2に反映</source>
        <translation>Apply to %1 %2</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
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
    <message>
        <source>タイルの番号が正しくありません</source>
        <translation>Invalid tile number</translation>
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

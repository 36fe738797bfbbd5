<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>TEditAnimationPanel</name>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="104"/>
        <source>アニメーション %1 フレーム %2 の挿入</source>
        <translation>Insert frame %2 in animation %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="110"/>
        <source>アニメーション %1 フレーム %2 の削除</source>
        <translation>Delete frame %2 of animation %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="117"/>
        <source>アニメーション %1 フレーム %2 の複製</source>
        <translation>Duplicate frame %2 of animation %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="125"/>
        <source>アニメーション %1 フレーム %2 の移動</source>
        <translation>Move frame %2 of animation %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="129"/>
        <source>アニメーション %1 をこのアニメーションだけに</source>
        <translation>Give animation %1 a record of its own</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="136"/>
        <source>アニメーション %1 のパターン番号の上位</source>
        <translation>Pattern number high bit of animation %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="141"/>
        <source>1フレームの長さ</source>
        <translation>Frames per pattern</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="141"/>
        <source>10進数 1-256</source>
        <translation>decimal 1-256</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="164"/>
        <source>パターン番号の上位:</source>
        <translation>Pattern number high bit:</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="165"/>
        <source>1フレームの長さ:</source>
        <translation>Frames per pattern:</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="166"/>
        <source>パターン番号(下位): $</source>
        <translation>Pattern number (low): $</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="167"/>
        <source>挿入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="168"/>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="169"/>
        <source>複製</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="170"/>
        <source>上へ</source>
        <translation>Up</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="171"/>
        <source>下へ</source>
        <translation>Down</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="172"/>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="241"/>
        <source>このアニメーションだけ</source>
        <translation>This Animation Only</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="199"/>
        <source>%1: $00 (終わり)</source>
        <translation>%1: $00 (end)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="241"/>
        <source>アニメーション</source>
        <comment>used by 2 or more of them</comment>
        <translation>animations</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="282"/>
        <source>アニメーション %1 のフレーム %2</source>
        <translation>Frame %2 of animation %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditAnimation.cpp" line="293"/>
        <source>アニメーション %1 の1フレームの長さ</source>
        <translation>Frames per pattern of animation %1</translation>
    </message>
</context>
<context>
    <name>TEditChrPencil</name>
    <message>
        <location filename="../app/edit/TarvelinEditChr.cpp" line="48"/>
        <source>鉛筆</source>
        <translation>Pencil</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditChr.cpp" line="49"/>
        <source>パターンテーブルのタイルの点を描きます</source>
        <translation>Draws pixels of the pattern table&apos;s tiles</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditChr.cpp" line="115"/>
        <source>キャラクタバンク $%1 タイル$%2 の描画</source>
        <translation>Draw on CHR bank $%1 tile $%2</translation>
    </message>
</context>
<context>
    <name>TEditFields</name>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="23"/>
        <source>値が入力されていません</source>
        <translation>No value entered</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="24"/>
        <source>「%1」は16進数ではありません</source>
        <translation>&quot;%1&quot; is not hex</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="25"/>
        <source>「%1」は2桁を超えています</source>
        <translation>&quot;%1&quot; has more than 2 digits</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="26"/>
        <source>「%1」の符号の後が10進数ではありません</source>
        <translation>&quot;%1&quot; is not decimal after its sign</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="27"/>
        <source>「%1」は範囲外です</source>
        <translation>&quot;%1&quot; is out of range</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="35"/>
        <source>16進数 00-FF か 10進数 -128〜+127</source>
        <translation>hex 00-FF or decimal -128 to +127</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="35"/>
        <source>16進数 00-FF</source>
        <translation>hex 00-FF</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="39"/>
        <source>タイル</source>
        <translation>Tile</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="81"/>
        <source>%1: %2 で入力してください</source>
        <translation>%1: enter %2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditFields.cpp" line="82"/>
        <source>%1: %2。%3 で入力してください</source>
        <translation>%1: %2. Enter %3</translation>
    </message>
</context>
<context>
    <name>TEditPanel</name>
    <message>
        <location filename="../app/edit/TarvelinEditPanel.h" line="45"/>
        <source>編集パネル</source>
        <translation>Edit Panel</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditPanel.cpp" line="78"/>
        <source>編集パネル(&amp;P)</source>
        <translation>Edit &amp;Panel</translation>
    </message>
</context>
<context>
    <name>TEditSpritePanel</name>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="59"/>
        <source>%1 : %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="60"/>
        <source> ほか %1</source>
        <translation> and %1 more</translation>
    </message>
    <message numerus="yes">
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="62"/>
        <source>%1 は他の %n パターンでも使われています</source>
        <translation>
            <numerusform>%1 is also used by %n other pattern</numerusform>
            <numerusform>%1 is also used by %n other patterns</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="72"/>
        <source>%1 を書き換えました: 他の %n パターンも変わります</source>
        <translation>
            <numerusform>Changed %1: %n other pattern changes too</numerusform>
            <numerusform>Changed %1: %n other patterns change too</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="122"/>
        <source>キャラクタバンク番号</source>
        <translation>CHR bank number</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="122"/>
        <source>スプライト配置データ番号</source>
        <translation>Alignment data number</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="123"/>
        <source>16進数 00-FF</source>
        <translation>hex 00-FF</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="184"/>
        <source>キャラクタバンク番号: $</source>
        <translation>CHR bank number: $</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="185"/>
        <source>スプライト配置データ番号: $</source>
        <translation>Alignment data number: $</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="186"/>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="186"/>
        <source>タイル</source>
        <translation>Tile</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="186"/>
        <source>上下</source>
        <translation>V flip</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="186"/>
        <source>左右</source>
        <translation>H flip</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="186"/>
        <source>パレット</source>
        <translation>Palette</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="187"/>
        <source>スプライト追加</source>
        <translation>Add Sprite</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="188"/>
        <source>スプライト削除</source>
        <translation>Remove Sprite</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="189"/>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="413"/>
        <source>このパターンだけ</source>
        <translation>This Pattern Only</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="273"/>
        <source>%1 スプライト$%2 の上下反転</source>
        <translation>V flip of %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="273"/>
        <source>%1 スプライト$%2 の左右反転</source>
        <translation>H flip of %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="280"/>
        <source>%1 スプライト$%2 のタイル</source>
        <translation>Tile of %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="285"/>
        <source>%1 スプライト$%2 のパレット</source>
        <translation>Palette of %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="310"/>
        <source>%1 のキャラクタバンク番号</source>
        <translation>CHR bank number of %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="313"/>
        <source>%1 のスプライト配置データ番号</source>
        <translation>Alignment data number of %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="322"/>
        <source>%1 スプライト$%2 の移動</source>
        <translation>Move %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="344"/>
        <source>このパターン定義 (%1)</source>
        <translation>This pattern definition (%1)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="347"/>
        <source>スプライト配置データ $%1 (%2)</source>
        <translation>Alignment data $%1 (%2)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="354"/>
        <source>タイル $%1 (%2)</source>
        <translation>Tile $%1 (%2)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="358"/>
        <source>キャラクタバンク $%1 (%2)</source>
        <translation>CHR bank $%1 (%2)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="388"/>
        <source>%1 スプライト$%2 の追加</source>
        <translation>Add %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="398"/>
        <source>%1 スプライト$%2 の削除</source>
        <translation>Remove %1 sprite $%2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="412"/>
        <source>パターン</source>
        <comment>used by 2 or more of them</comment>
        <translation>patterns</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="430"/>
        <source>%1 をこのパターンだけに</source>
        <translation>Give %1 records of its own</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="438"/>
        <source>スプライト配置データ $%1</source>
        <translation>Alignment data $%1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="441"/>
        <source>パターン定義 (%1)</source>
        <translation>Pattern definition (%1)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="474"/>
        <source>矢印: スプライトを移動 (Shift: 8ドット)</source>
        <translation>Arrows: move the sprite (Shift: 8 pixels)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditSprite.cpp" line="474"/>
        <source>Tab/Shift+Tab: 次/前のスプライト</source>
        <translation>Tab/Shift+Tab: next/previous sprite</translation>
    </message>
</context>
<context>
    <name>TFreeSpaceDialog</name>
    <message numerus="yes">
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="28"/>
        <source>%1 (%n バイト)</source>
        <translation>
            <numerusform>%1 (%n byte)</numerusform>
            <numerusform>%1 (%n bytes)</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="99"/>
        <source>空き領域</source>
        <translation>Free Space</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="100"/>
        <source>書き換えてよい範囲 (ファイル位置):</source>
        <translation>Ranges that may be rewritten (file offsets):</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="101"/>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="102"/>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="103"/>
        <source>最初:</source>
        <translation>First:</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="104"/>
        <source>最後:</source>
        <translation>Last:</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="105"/>
        <source>検出</source>
        <translation>Detect</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="106"/>
        <source>受け入れる</source>
        <translation>Accept</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="130"/>
        <source>空き領域は PRG-ROM ($00010-$4000F) の中で、最初の位置から最後の位置までです</source>
        <translation>Free space lies inside PRG-ROM ($00010-$4000F), from the first offset to the last</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="135"/>
        <source>%1 はポインタが指すデータと重なります</source>
        <translation>%1 overlaps data a pointer points to</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="138"/>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="170"/>
        <source>空き領域 %1 の追加</source>
        <translation>Add free space %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="151"/>
        <source>空き領域 %1 の削除</source>
        <translation>Remove free space %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinFreeSpaceDialog.cpp" line="197"/>
        <source>空き領域(&amp;F)...</source>
        <translation>&amp;Free Space...</translation>
    </message>
</context>
<context>
    <name>TImportItems</name>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="32"/>
        <source>点%1</source>
        <translation>Pixel %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="33"/>
        <source>スプライト%1</source>
        <translation>sprite %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="34"/>
        <source>タイル%1</source>
        <translation>tile %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="36"/>
        <source>のタイル内の点%1</source>
        <translation>at %1 in the tile</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="47"/>
        <source>画像の大きさが %1 × %2 です。%3 × %4 (またはその 2-8 倍) の画像を取り込めます</source>
        <translation>The picture is %1 × %2. A picture of %3 × %4 (or 2-8 times that) can be imported</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="50"/>
        <source>%1 倍に拡大された画像の点%2 のブロックが一色ではありません</source>
        <translation>The picture is scaled %1 times, and the block at pixel %2 is not one color</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="54"/>
        <source>%1: 色 %2 は表示している4色のどれでもありません (近い色で取り込む(N) を選ぶと最も近い色になります)</source>
        <translation>%1: color %2 is none of the 4 colors shown (choose Import with Nearest Colors to take the nearest one)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="58"/>
        <source>%1: 色 %2 は複数の色番号に当たるので決められません。インデックスカラーの画像を使ってください</source>
        <translation>%1: color %2 matches more than one color number. Use an indexed-color picture</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="61"/>
        <source>%1: この帯にはCHRバンクが読み込まれていないので色0のままにしてください</source>
        <translation>%1: no CHR bank is loaded in this band, so leave it color 0</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="63"/>
        <source>%1: ここにはスプライトがないので背景のままにしてください</source>
        <translation>%1: no sprite is here, so leave it background</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="65"/>
        <source>同じタイルの点が2か所で違う色になっています: %1 と %2</source>
        <translation>One pixel of a tile has two different colors: %1 and %2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="67"/>
        <source>CHRファイルが %1 バイトです。1024 バイトの倍数でなければなりません</source>
        <translation>The CHR file is %1 bytes. It must be a multiple of 1024 bytes</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="69"/>
        <source>CHRファイルの %1 バンクはバンク %2 からではバンク $FF を越えます</source>
        <translation>The CHR file&apos;s %1 banks, from bank %2, go past bank $FF</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="73"/>
        <source>取り込めません</source>
        <translation>Cannot import</translation>
    </message>
    <message numerus="yes">
        <location filename="../app/edit/TarvelinImportItems.cpp" line="98"/>
        <source>これらのタイルは他の %n パターンでも使われています: %1</source>
        <translation>
            <numerusform>These tiles are also used by %n other pattern: %1</numerusform>
            <numerusform>These tiles are also used by %n other patterns: %1</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="99"/>
        <source> ほか %1</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="110"/>
        <source>取り込んでも変わるタイルはありません</source>
        <translation>The import changes no tile</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="138"/>
        <source>ファイル %1 はPNGまたはBMPの画像として読み込めません</source>
        <translation>Cannot read file %1 as a PNG or BMP picture</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="161"/>
        <source>クリップボードに取り込める画像がありません</source>
        <translation>The clipboard holds no picture to import</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="240"/>
        <source>取り込み(&amp;I)</source>
        <translation>&amp;Import</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="241"/>
        <source>パターンテーブル画像を取り込む(&amp;T)...</source>
        <translation>Import Pattern &amp;Table Picture...</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="242"/>
        <source>スプライト画像を取り込む(&amp;S)...</source>
        <translation>Import &amp;Sprite Picture...</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="243"/>
        <source>クリップボードの画像をパターンテーブルに(&amp;P)</source>
        <translation>&amp;Paste Picture into Pattern Table</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="244"/>
        <source>クリップボードの画像をスプライトに(&amp;R)</source>
        <translation>Paste Picture into Sp&amp;rite</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="245"/>
        <source>CHRファイルを取り込む(&amp;C)...</source>
        <translation>Import &amp;CHR File...</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="246"/>
        <source>CHRファイルを書き出す(&amp;E)...</source>
        <translation>&amp;Export CHR File...</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="247"/>
        <source>近い色で取り込む(&amp;N)</source>
        <translation>Import with &amp;Nearest Colors</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="256"/>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="274"/>
        <source>パターンテーブル画像の取り込み</source>
        <translation>Import pattern table picture</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="266"/>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="282"/>
        <source>スプライト画像の取り込み</source>
        <translation>Import sprite picture</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="292"/>
        <source>ファイル %1 は開けないか、CHR-ROM全体より大きいファイルです</source>
        <translation>Cannot open file %1, or it is larger than the whole CHR-ROM</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="295"/>
        <source>取り込む先頭のCHRバンク (16進)</source>
        <translation>First CHR bank to import into (hex)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="299"/>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="311"/>
        <source>CHRバンクは 00-FF の16進で入力してください</source>
        <translation>Enter CHR banks in hex, 00-FF</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="302"/>
        <source>CHRバンク %1 からの取り込み</source>
        <translation>Import CHR from bank %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.cpp" line="307"/>
        <source>書き出すCHRバンク (16進、範囲は 0A-0B のように)</source>
        <translation>CHR banks to export (hex; a range as 0A-0B)</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportItems.h" line="38"/>
        <source>PNG/BMP画像(*.png *.bmp)|*.png *.bmp</source>
        <translation>PNG/BMP pictures(*.png *.bmp)|*.png *.bmp</translation>
    </message>
</context>
<context>
    <name>TImportPreviewDialog</name>
    <message numerus="yes">
        <location filename="../app/edit/TarvelinImportPreview.cpp" line="71"/>
        <source>変わるタイル: %1 個 (%n バイト)</source>
        <translation>
            <numerusform>Tiles changed: %1 (%n byte)</numerusform>
            <numerusform>Tiles changed: %1 (%n bytes)</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportPreview.cpp" line="72"/>
        <source>近い色にした点: %1 個</source>
        <translation>Pixels given the nearest color: %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportPreview.cpp" line="74"/>
        <source>最初の %1 個を表示しています</source>
        <translation>Showing the first %1</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportPreview.cpp" line="78"/>
        <source>各タイルの左が取り込む前、右が取り込んだ後です</source>
        <translation>Each tile: before the import on the left, after it on the right</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportPreview.cpp" line="93"/>
        <source>取り込む</source>
        <translation>Import</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinImportPreview.cpp" line="94"/>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TRecordItems</name>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="36"/>
        <source>%1 は記録ファイルとしては大きすぎます</source>
        <translation>%1 is too large for a records file</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="78"/>
        <source>記録をテキストで書き出す(&amp;T)...</source>
        <translation>Export Records as &amp;Text...</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="79"/>
        <source>記録をテキストから読み込む(&amp;I)...</source>
        <translation>&amp;Import Records from Text...</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="112"/>
        <source>%1 は読み込めません: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="117"/>
        <source>記録の読み込み</source>
        <translation>Import records</translation>
    </message>
    <message numerus="yes">
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="120"/>
        <source>記録を読み込みました: %n バイトを変更しました</source>
        <translation>
            <numerusform>Records imported: %n byte changed</numerusform>
            <numerusform>Records imported: %n bytes changed</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.cpp" line="122"/>
        <source>記録を読み込みました: 変更はありません</source>
        <translation>Records imported: nothing changed</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRecords.h" line="22"/>
        <source>JSON(*.json)|*.json|ca65アセンブリ(*.s)|*.s|asm6アセンブリ(*.asm)|*.asm</source>
        <translation>JSON(*.json)|*.json|ca65 assembly(*.s)|*.s|asm6 assembly(*.asm)|*.asm</translation>
    </message>
</context>
<context>
    <name>TSharedEditQuestion</name>
    <message>
        <location filename="../app/edit/TarvelinEditRelocate.cpp" line="48"/>
        <source>このデータは %1 個の%2が使っています。</source>
        <translation>This data is used by %1 %2.</translation>
    </message>
    <message>
        <location filename="../app/edit/TarvelinEditRelocate.cpp" line="51"/>
        <source>%1 %2に反映</source>
        <translation>Apply to %1 %2</translation>
    </message>
</context>
</TS>

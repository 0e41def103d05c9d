<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>frmExt</name>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>しない</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>FTP送信中も監視を続ける</source>
        <translation>Keep watching while a clip uploads</translation>
    </message>
    <message>
        <source>画面全体の明るさの変化は警報にしない</source>
        <translation>No alarm when the light of the whole picture changes</translation>
    </message>
    <message>
        <source> MB</source>
        <translation> MB</translation>
    </message>
    <message>
        <source>無制限</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source> 日</source>
        <translation> days</translation>
    </message>
    <message>
        <source>無期限</source>
        <translation>Forever</translation>
    </message>
    <message>
        <source>拡張設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>警報と動画</source>
        <translation>Alarms and clips</translation>
    </message>
    <message>
        <source>警報前の録画</source>
        <translation>Record before the alarm</translation>
    </message>
    <message>
        <source>画像と動画の保存 (img, avi)</source>
        <translation>Keeping snapshots and clips (img, avi)</translation>
    </message>
    <message>
        <source>合計の上限</source>
        <translation>Total size at most</translation>
    </message>
    <message>
        <source>保存期間</source>
        <translation>Keep for</translation>
    </message>
    <message>
        <source>デスクトップに合わせる</source>
        <translation>Same as the desktop</translation>
    </message>
    <message>
        <source>表示言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>次回の起動から有効になります。</source>
        <translation>Takes effect the next time Houndly starts.</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>frmSound</name>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>ｻｳﾝﾄﾞ設定</source>
        <translation>Sound Settings</translation>
    </message>
    <message>
        <source>(無し)</source>
        <translation>(None)</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AlarmDiskNote</name>
    <message>
        <source> ﾃﾞｨｽｸがいっぱいで画像と動画を保存できませんでした。</source>
        <translation> The disk is full: the snapshot and the clip were not saved.</translation>
    </message>
    <message>
        <source> ﾃﾞｨｽｸがいっぱいで画像を保存できませんでした。</source>
        <translation> The disk is full: the snapshot was not saved.</translation>
    </message>
    <message>
        <source> ﾃﾞｨｽｸがいっぱいで動画を保存できませんでした。</source>
        <translation> The disk is full: the clip was not saved.</translation>
    </message>
</context>
<context>
    <name>AlarmLevel</name>
    <message>
        <source>Houndly: 警報！ 誰かいるワン！!</source>
        <translation>Houndly: Alarm! Someone is here, woof!!</translation>
    </message>
    <message>
        <source>Houndly: 誰か居るワン？</source>
        <translation>Houndly: Is someone there, woof?</translation>
    </message>
    <message>
        <source>Houndly: 気のせいワン？</source>
        <translation>Houndly: Just my imagination, woof?</translation>
    </message>
    <message>
        <source>Houndly: 大丈夫ワン！</source>
        <translation>Houndly: All is well, woof!</translation>
    </message>
    <message>
        <source>Houndly: 警報！ 誰かいたワン！!</source>
        <translation>Houndly: Alarm! Someone was here, woof!!</translation>
    </message>
    <message>
        <source>最終警報: %1</source>
        <translation>Last alarm: %1</translation>
    </message>
</context>
<context>
    <name>AlarmMail</name>
    <message>
        <source>Houndly: ﾒｰﾙ送信中･･･</source>
        <translation>Houndly: Sending mail...</translation>
    </message>
    <message>
        <source>自動ﾒｰﾙ送信中</source>
        <translation>Sending the automatic mail</translation>
    </message>
    <message>
        <source>ﾒｰﾙ送信ｴﾗｰでした。</source>
        <translation>The mail could not be sent.</translation>
    </message>
</context>
<context>
    <name>AlarmRecording</name>
    <message>
        <source>Houndly: 動画録画中･･･</source>
        <translation>Houndly: Recording a clip...</translation>
    </message>
    <message>
        <source>動画を録画できませんでした。</source>
        <translation>The clip could not be recorded.</translation>
    </message>
    <message>
        <source>Houndly: FTPで送信中･･･</source>
        <translation>Houndly: Uploading by FTP...</translation>
    </message>
</context>
<context>
    <name>CheckMailAccount</name>
    <message>
        <source>ﾒｰﾙ送信元ﾁｪｯｸ</source>
        <translation>Mail Account Check</translation>
    </message>
</context>
<context>
    <name>CommandPanel</name>
    <message>
        <source>開始</source>
        <translation>Start watching</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop watching</translation>
    </message>
    <message>
        <source>手動送信(&amp;S)</source>
        <translation>Send S&amp;napshot</translation>
    </message>
    <message>
        <source>V ﾌｫｰﾏｯﾄ設定(&amp;F)</source>
        <translation>Video &amp;Format</translation>
    </message>
    <message>
        <source>V ｿｰｽ設定(&amp;S)</source>
        <translation>Video &amp;Source</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定(&amp;M)</source>
        <translation>&amp;Mail Account</translation>
    </message>
    <message>
        <source>自動ﾒｰﾙ設定(&amp;A)</source>
        <translation>&amp;Automatic Mail</translation>
    </message>
    <message>
        <source>FTPと動画設定(&amp;P)</source>
        <translation>FTP and &amp;Clips</translation>
    </message>
    <message>
        <source>EXIT(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>警報検知数</source>
        <translation>Alarm count</translation>
    </message>
    <message>
        <source>設定した値を検知数が超えたら警報が作動します。</source>
        <translation>An alarm goes off when the count goes above this value.</translation>
    </message>
    <message>
        <source>変更(&amp;K)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>ﾀｲﾐﾝｸﾞ (10 = 1秒)</source>
        <translation>Timing (10 = 1 s)</translation>
    </message>
    <message>
        <source>ﾀｲﾐﾝｸﾞが短い程、短い時間の変化を検知します。</source>
        <translation>The shorter the timing, the shorter the changes it catches.</translation>
    </message>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>精度 ( 低 ← → 高 )</source>
        <translation>Sensitivity (− ↔ +)</translation>
    </message>
    <message>
        <source>精度が高い程、小さな変化を検知します。</source>
        <translation>The higher the sensitivity, the smaller the changes it catches.</translation>
    </message>
    <message>
        <source>ﾉｲｽﾞ除去</source>
        <translation>Noise filter</translation>
    </message>
</context>
<context>
    <name>DiskSpace</name>
    <message>
        <source>ﾃﾞｨｽｸがいっぱいです。</source>
        <translation>The disk is full.</translation>
    </message>
</context>
<context>
    <name>DriverRegistry</name>
    <message>
        <source>ドライバーが見つかりません。</source>
        <translation>No camera found.</translation>
    </message>
</context>
<context>
    <name>HistoryModel</name>
    <message>
        <source>日時</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>画像</source>
        <translation>Snapshot</translation>
    </message>
    <message>
        <source>検知数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>動画</source>
        <translation>Clip</translation>
    </message>
    <message>
        <source>ﾒｰﾙ</source>
        <translation>Mail</translation>
    </message>
    <message>
        <source>FTP</source>
        <translation>FTP</translation>
    </message>
    <message>
        <source> (中断)</source>
        <translation> (cut short)</translation>
    </message>
    <message>
        <source>削除済み</source>
        <translation>removed</translation>
    </message>
    <message>
        <source> (削除済み)</source>
        <translation> (removed)</translation>
    </message>
    <message>
        <source>画像: %1</source>
        <translation>Snapshot: %1</translation>
    </message>
    <message>
        <source>動画: %1</source>
        <translation>Clip: %1</translation>
    </message>
    <message>
        <source>ﾒｰﾙ %1: %2</source>
        <translation>Mail %1: %2</translation>
    </message>
</context>
<context>
    <name>JpegWriter</name>
    <message>
        <source>ﾌｧｲﾙがｵｰﾌﾟﾝできません。</source>
        <translation>Cannot open the file.</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙが書き込めません。</source>
        <translation>Cannot write the file.</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。</source>
        <translation>The file format is wrong.</translation>
    </message>
    <message>
        <source>ｽﾀｯｸｵｰﾊﾞｰﾌﾛｰです。</source>
        <translation>Stack overflow.</translation>
    </message>
    <message>
        <source>ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。</source>
        <translation>There is no picture to save.</translation>
    </message>
</context>
<context>
    <name>LightChange</name>
    <message>
        <source>Houndly: 明かりが変わっただけワン！</source>
        <translation>Houndly: Only the light changed, woof!</translation>
    </message>
</context>
<context>
    <name>MailAccount</name>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。</source>
        <translation>Enter the mail address in the mail account settings.</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定のSMTPｻｰﾊﾞｰ名を入力して下さい。</source>
        <translation>Enter the SMTP server in the mail account settings.</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定のPOPｻｰﾊﾞｰ名を入力して下さい。</source>
        <translation>Enter the POP server in the mail account settings.</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定のﾕｰｻﾞｰ名を入力して下さい。</source>
        <translation>Enter the user name in the mail account settings.</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定のﾊﾟｽﾜｰﾄﾞを入力して下さい。</source>
        <translation>Enter the password in the mail account settings.</translation>
    </message>
</context>
<context>
    <name>MailContentControls</name>
    <message>
        <source>宛先</source>
        <translation>To</translation>
    </message>
    <message>
        <source>件名</source>
        <translation>Subject</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>画像添付</source>
        <translation>Attach the snapshot</translation>
    </message>
    <message>
        <source>ｻｲｽﾞ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>圧縮率</source>
        <translation>Compression</translation>
    </message>
    <message>
        <source>宛先と件名に改行は使えません。</source>
        <translation>The recipient and the subject cannot hold line breaks.</translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>ﾌﾟﾛｸﾞﾗﾑ(&amp;P)</source>
        <translation>&amp;Program</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ヽｽｺｰﾌﾟ(&amp;C)</source>
        <translation>✓ S&amp;cope</translation>
    </message>
    <message>
        <source>警報履歴(&amp;H)</source>
        <translation>Alarm &amp;History...</translation>
    </message>
    <message>
        <source>ﾃｽﾄ(&amp;T)</source>
        <translation>&amp;Test</translation>
    </message>
    <message>
        <source>手動送信(&amp;S)</source>
        <translation>&amp;Send Snapshot...</translation>
    </message>
    <message>
        <source>ﾂｰﾙ(&amp;O)</source>
        <translation>T&amp;ools</translation>
    </message>
    <message>
        <source>ｻｳﾝﾄﾞ設定(&amp;W)</source>
        <translation>Alarm &amp;Sound...</translation>
    </message>
    <message>
        <source>ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ設定(&amp;F)</source>
        <translation>Video &amp;Format...</translation>
    </message>
    <message>
        <source>ﾋﾞﾃﾞｵｿｰｽ設定(&amp;S)</source>
        <translation>Video Sou&amp;rce...</translation>
    </message>
    <message>
        <source>ﾄﾞﾗｲﾊﾞｰ選択(&amp;D)</source>
        <translation>Select &amp;Camera...</translation>
    </message>
    <message>
        <source>ﾋﾞﾃﾞｵ圧縮(&amp;O)</source>
        <translation>Video Compr&amp;ession...</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定(&amp;M)</source>
        <translation>&amp;Mail Account...</translation>
    </message>
    <message>
        <source>自動ﾒｰﾙ設定(&amp;A)</source>
        <translation>&amp;Automatic Mail...</translation>
    </message>
    <message>
        <source>FTP(動画)設定(&amp;P)</source>
        <translation>FT&amp;P and Clips...</translation>
    </message>
    <message>
        <source>ﾒｰﾙ送信履歴(L)</source>
        <translation>Mail &amp;Log</translation>
    </message>
    <message>
        <source>ｲﾒｰｼﾞﾌｫﾙﾀﾞを開く(&amp;I)</source>
        <translation>Open S&amp;napshot Folder</translation>
    </message>
    <message>
        <source>動画ﾌｫﾙﾀﾞを開く(&amp;V)</source>
        <translation>Open Cl&amp;ip Folder</translation>
    </message>
    <message>
        <source>拡張設定(&amp;E)</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;L)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟﾌｫﾙﾀﾞを開く(&amp;H)</source>
        <translation>Open &amp;Help Folder</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ(&amp;B)</source>
        <translation>&amp;About Houndly</translation>
    </message>
</context>
<context>
    <name>MaskFile</name>
    <message>
        <source>ファイルがありません</source>
        <translation>the file is missing</translation>
    </message>
    <message>
        <source>読めません</source>
        <translation>it cannot be read</translation>
    </message>
    <message>
        <source>バイナリPGM (P5) ではありません</source>
        <translation>not a binary PGM (P5)</translation>
    </message>
    <message>
        <source>8ビットのPGMではありません</source>
        <translation>not an 8-bit PGM</translation>
    </message>
    <message>
        <source>大きさが不正です</source>
        <translation>its size is not possible</translation>
    </message>
    <message>
        <source>データが足りません</source>
        <translation>it ends too early</translation>
    </message>
    <message>
        <source>最大値を超える値があります</source>
        <translation>a value lies above its maximum</translation>
    </message>
    <message>
        <source>Houndly: 検知範囲が使えないワン！ 画面全体を見るワン (mask.pgm: %1)</source>
        <translation>Houndly: Can&apos;t use the mask, woof! Watching the whole picture, woof (mask.pgm: %1)</translation>
    </message>
</context>
<context>
    <name>MqttPage</name>
    <message>
        <source>TLS で接続する (証明書を確認します)</source>
        <translation>Connect with TLS (the certificate is verified)</translation>
    </message>
    <message>
        <source>使わない (例: 192.168.1.10 または broker.local:1883)</source>
        <translation>Off (for example 192.168.1.10 or broker.local:1883)</translation>
    </message>
    <message>
        <source>フォルダー名</source>
        <translation>folder name</translation>
    </message>
    <message>
        <source>ブローカー</source>
        <translation>Broker</translation>
    </message>
    <message>
        <source>ユーザー名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>パスワード</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>トピック</source>
        <translation>Topic prefix</translation>
    </message>
    <message>
        <source>状態、警報 (JSON) と画像を送り、set/watch の ON と OFF で監視を切り替えます。Home Assistant は自動検出で見つけます。次回の起動から有効になります。</source>
        <translation>Sends the state, every alarm (JSON) and its picture; ON and OFF on set/watch switch watching. Home Assistant finds Houndly by discovery. Takes effect at the next start.</translation>
    </message>
</context>
<context>
    <name>ScopePanel</name>
    <message>
        <source>ｽｺｰﾌﾟ</source>
        <translation>Scope</translation>
    </message>
    <message>
        <source>検知数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>時間変化</source>
        <translation>Time line</translation>
    </message>
    <message>
        <source>録画中に「ESCキー」を押すと処理を中断できます。</source>
        <translation>Press Esc while recording to stop it early.</translation>
    </message>
</context>
<context>
    <name>SettingsSaveReport</name>
    <message>
        <source>設定ファイルを保存できません: %1
変更は終了までは有効ですが、保存されていません。ディスクの空きと書き込みの権限を確かめて下さい。</source>
        <translation>Cannot save the settings file: %1
Your changes hold until Houndly ends, but they are not saved. Check the free disk space and the permission to write.</translation>
    </message>
</context>
<context>
    <name>StatusPanels</name>
    <message>
        <source>解像度: %1×%2</source>
        <translation>Size: %1×%2</translation>
    </message>
</context>
<context>
    <name>UnreadableSettings</name>
    <message>
        <source>ﾌｧｲﾙではなくﾌｫﾙﾀﾞです。</source>
        <translation>It is a folder, not a file.</translation>
    </message>
    <message>
        <source>通常のﾌｧｲﾙではありません。</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message>
        <source>64MBを超えています。</source>
        <translation>It is larger than 64 MB.</translation>
    </message>
    <message>
        <source>読み込む権限がありません。</source>
        <translation>You have no permission to read it.</translation>
    </message>
    <message>
        <source>読み込み中にｴﾗｰが発生しました。</source>
        <translation>An error occurred while reading it.</translation>
    </message>
    <message>
        <source>設定ﾌｧｲﾙを読み込めません。
%1
%2
ﾌｧｲﾙはそのままにして終了します。</source>
        <translation>Cannot read the settings file.
%1
%2
Houndly leaves the file as it is and ends.</translation>
    </message>
</context>
<context>
    <name>UploadQueue</name>
    <message>
        <source>終了のため中断しました。次の起動で送ります</source>
        <translation>Cut short as Houndly closed; it goes at the next start</translation>
    </message>
</context>
<context>
    <name>VideoCompressionDialog</name>
    <message>
        <source>ﾋﾞﾃﾞｵ圧縮</source>
        <translation>Video Compression</translation>
    </message>
    <message>
        <source>圧縮方式</source>
        <translation>Codec</translation>
    </message>
    <message>
        <source>品質</source>
        <translation>Quality</translation>
    </message>
</context>
<context>
    <name>VideoFormatDialog</name>
    <message>
        <source>ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ</source>
        <translation>Video Format</translation>
    </message>
    <message>
        <source>解像度</source>
        <translation>Frame size</translation>
    </message>
</context>
<context>
    <name>VideoSourceDialog</name>
    <message>
        <source>ﾋﾞﾃﾞｵｿｰｽ</source>
        <translation>Video Source</translation>
    </message>
    <message>
        <source>調整できる項目はありません。</source>
        <translation>This camera has nothing to adjust.</translation>
    </message>
</context>
<context>
    <name>Watcher</name>
    <message>
        <source>Houndly: 送信待ちが多すぎるワン！ %1 は送らないワン</source>
        <translation>Houndly: Too many uploads waiting, woof! %1 is not sent, woof</translation>
    </message>
    <message>
        <source>送信待ちが多すぎるため送信しませんでした: %1</source>
        <translation>Not sent, too many uploads were waiting: %1</translation>
    </message>
    <message>
        <source>Houndly: 警報が多すぎるワン！ 検知数 %1 の警報は送らないワン</source>
        <translation>Houndly: Too many alarms, woof! The alarm of count %1 is not sent, woof</translation>
    </message>
    <message>
        <source>警報: ﾒｰﾙ送信中･･･</source>
        <translation>Alarm: sending mail...</translation>
    </message>
    <message>
        <source>警報: 動画録画中･･･</source>
        <translation>Alarm: recording a clip...</translation>
    </message>
    <message>
        <source>警報: FTPで送信中･･･</source>
        <translation>Alarm: uploading by FTP...</translation>
    </message>
    <message>
        <source>%1 (待ち %2)</source>
        <translation>%1 (%2 waiting)</translation>
    </message>
</context>
<context>
    <name>WebOptions</name>
    <message>
        <source>しない</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>変更しないときは空欄</source>
        <translation>Leave empty to keep it</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>証明書 (PEM)</source>
        <translation>Certificate (PEM)</translation>
    </message>
    <message>
        <source>秘密鍵 (PEM)</source>
        <translation>Private key (PEM)</translation>
    </message>
    <message>
        <source>ユーザー名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>パスワード</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>ループバック以外のアドレスで証明書がないときは、自己署名の証明書を作ります。次回の起動から有効になります。</source>
        <translation>On an address other than loopback without a certificate, a self-signed certificate is made. Takes effect at the next start.</translation>
    </message>
    <message>
        <source>Web表示のユーザー名には、コロン、引用符、バックスラッシュ、制御文字を使えません。長すぎる名前も使えません。</source>
        <translation>The web view&apos;s user name may not hold a colon, a quote, a backslash or a control character, and may not be too long.</translation>
    </message>
    <message>
        <source>Web表示のユーザー名を変えるときはパスワードも入力してください。</source>
        <translation>To change the web view&apos;s user name, type the password too.</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>検知数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>警報検知数</source>
        <translation>Alarm count</translation>
    </message>
    <message>
        <source>最終警報:</source>
        <translation>Last alarm:</translation>
    </message>
    <message>
        <source>カメラの映像が届いていません</source>
        <translation>No picture from the camera</translation>
    </message>
    <message>
        <source>FTP送信中･･･</source>
        <translation>Uploading by FTP...</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>監視中</source>
        <translation>Watching</translation>
    </message>
    <message>
        <source>監視停止中</source>
        <translation>Not watching</translation>
    </message>
    <message>
        <source>いまは切り替えられません (警報中か設定中)</source>
        <translation>Cannot switch now (an alarm or a settings dialog is running)</translation>
    </message>
    <message>
        <source>時間変化</source>
        <translation>Time line</translation>
    </message>
    <message>
        <source>警報履歴</source>
        <translation>Alarm history</translation>
    </message>
    <message>
        <source>日付:</source>
        <translation>Day:</translation>
    </message>
    <message>
        <source>警報はありません</source>
        <translation>No alarms</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>ダウンロード</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Houndly に接続できません</source>
        <translation>Cannot reach Houndly</translation>
    </message>
    <message>
        <source>ja</source>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>%1のﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>動きを検出し、ｷｬﾌﾟﾁｬｰ画像をﾒｰﾙで送信します。<byte value="xd"/>
また、動画を録画してFTPで送信します。</source>
        <translation>Detects motion and mails a snapshot of the camera picture.
It also records a clip and uploads it by FTP.</translation>
    </message>
    <message>
        <source>本プログラムを運用した結果に付いては、作者は一切責任を負いません。</source>
        <translation>The author takes no responsibility for the results of running this program.</translation>
    </message>
    <message>
        <source>ｼｽﾃﾑ情報(&amp;S)...</source>
        <translation>&amp;System Info...</translation>
    </message>
    <message>
        <source>現時点ではｼｽﾃﾑ情報を使用できません</source>
        <translation>System information is not available at this time</translation>
    </message>
</context>
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
        <source>警報のメール・録画・送信中も監視を続ける</source>
        <translation>Keep watching while an alarm mails, records and uploads</translation>
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
    <message>
        <source>警報をデスクトップに通知する (クリックで警報履歴)</source>
        <translation>Notify the desktop of every alarm (a click opens the history)</translation>
    </message>
    <message>
        <source>しない (FTP)</source>
        <translation>None (FTP)</translation>
    </message>
    <message>
        <source>FTPS (TLS)</source>
        <translation>FTPS (TLS)</translation>
    </message>
    <message>
        <source>SFTP (SSH)</source>
        <translation>SFTP (SSH)</translation>
    </message>
    <message>
        <source>FTP送信の暗号化</source>
        <translation>Upload encryption</translation>
    </message>
    <message>
        <source>警報時に実行するプログラム</source>
        <translation>Programs run at an alarm</translation>
    </message>
    <message>
        <source>警報の始まり</source>
        <translation>At its start</translation>
    </message>
    <message>
        <source>警報の終わり</source>
        <translation>At its end</translation>
    </message>
    <message>
        <source>プログラムと引数 (シェルは通しません)。環境変数 HOUNDLY_COUNT, HOUNDLY_ALARM_COUNT, HOUNDLY_TIME, HOUNDLY_SNAPSHOT, HOUNDLY_CLIP で警報を渡します。60 秒で終了させます。</source>
        <translation>A program and its arguments (no shell). The alarm is given in HOUNDLY_COUNT, HOUNDLY_ALARM_COUNT, HOUNDLY_TIME, HOUNDLY_SNAPSHOT and HOUNDLY_CLIP; it is ended after 60 s.</translation>
    </message>
    <message>
        <source>検知範囲 (mask.pgm) の中だけを見る</source>
        <translation>Watch only where the mask (mask.pgm) says</translation>
    </message>
    <message>
        <source>検知範囲</source>
        <translation>Detection mask</translation>
    </message>
    <message>
        <source>編集(&amp;M)...</source>
        <translation>Edit &amp;mask...</translation>
    </message>
    <message>
        <source>監視(&amp;W)</source>
        <translation>&amp;Watching</translation>
    </message>
    <message>
        <source>Web表示(&amp;B)</source>
        <translation>We&amp;b view</translation>
    </message>
    <message>
        <source>MQTT(&amp;Q)</source>
        <translation>MQTT(&amp;Q)</translation>
    </message>
</context>
<context>
    <name>frmFtp</name>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>動画保存有効</source>
        <translation>Record a clip</translation>
    </message>
    <message>
        <source>FTP有効</source>
        <translation>Upload by FTP</translation>
    </message>
    <message>
        <source>UPLOADﾌｧｲﾙ名の固定 ( ALERT.AVI )</source>
        <translation>Upload under one fixed name (ALERT.AVI)</translation>
    </message>
    <message>
        <source>音声記録する</source>
        <translation>Record sound</translation>
    </message>
    <message>
        <source>FTPと動画設定</source>
        <translation>FTP and Clips</translation>
    </message>
    <message>
        <source>ﾎｽﾄ名 or ｱﾄﾞﾚｽ</source>
        <translation>Host name or address</translation>
    </message>
    <message>
        <source>ﾕｰｻﾞｰ名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>ﾊﾟｽﾜｰﾄﾞ</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>ﾎｽﾄの保存先ﾌｫﾙﾀﾞ</source>
        <translation>Folder on the host</translation>
    </message>
    <message>
        <source>固定しない場合は、YYMMDDhhmmss_ALERT.AVIになります。</source>
        <translation>Otherwise each clip is uploaded as YYMMDDhhmmss_ALERT.AVI.</translation>
    </message>
    <message>
        <source>録画時間 (秒)</source>
        <translation>Clip length (seconds)</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>ﾎｽﾄ名を入力して下さい。</source>
        <translation>Enter the host name.</translation>
    </message>
    <message>
        <source>改行を含む文字は使えません。</source>
        <translation>Line breaks are not allowed.</translation>
    </message>
</context>
<context>
    <name>frmHistory</name>
    <message>
        <source>警報履歴</source>
        <translation>Alarm History</translation>
    </message>
    <message>
        <source>日付(&amp;D):</source>
        <translation>&amp;Day:</translation>
    </message>
    <message>
        <source>画像を開く(&amp;I)</source>
        <translation>Open &amp;Snapshot</translation>
    </message>
    <message>
        <source>動画を開く(&amp;V)</source>
        <translation>Open Cl&amp;ip</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>すべて (%1件)</source>
        <translation>All (%1)</translation>
    </message>
    <message>
        <source>%1 (%2件)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message numerus="yes">
        <source>%n件</source>
        <translation>
            <numerusform>%n alarm</numerusform>
            <numerusform>%n alarms</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmMail</name>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ設定</source>
        <translation>Mail Account</translation>
    </message>
    <message>
        <source>送信元ﾒｰﾙｱﾄﾞﾚｽ</source>
        <translation>Sender address</translation>
    </message>
    <message>
        <source>返信用ﾒｰﾙｱﾄﾞﾚｽ</source>
        <translation>Replies go to this address</translation>
    </message>
    <message>
        <source>ｻｰﾊﾞｰ情報</source>
        <translation>Servers</translation>
    </message>
    <message>
        <source>送信ﾒｰﾙ (SMTP)</source>
        <translation>Outgoing (SMTP)</translation>
    </message>
    <message>
        <source>ﾎﾟｰﾄ</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>初期ﾎﾟｰﾄ: 25</source>
        <translation>Default: 25</translation>
    </message>
    <message>
        <source>認証</source>
        <translation>Authentication</translation>
    </message>
    <message>
        <source>受信ﾒｰﾙ ｻｰﾊﾞｰ(POP befor SMTPで使用)</source>
        <translation>Incoming mail server (for POP before SMTP)</translation>
    </message>
    <message>
        <source>受信ﾒｰﾙ (POP)</source>
        <translation>Incoming (POP)</translation>
    </message>
    <message>
        <source>初期ﾎﾟｰﾄ: 110</source>
        <translation>Default: 110</translation>
    </message>
    <message>
        <source>ｱｶｳﾝﾄ</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>POPのｱｶｳﾝﾄ</source>
        <translation>The POP account</translation>
    </message>
    <message>
        <source>ﾊﾟｽﾜｰﾄﾞ</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>POPのﾊﾟｽﾜｰﾄﾞ</source>
        <translation>The POP password</translation>
    </message>
    <message>
        <source>SMTPのｱｶｳﾝﾄ</source>
        <translation>The SMTP account</translation>
    </message>
    <message>
        <source>SMTPのﾊﾟｽﾜｰﾄﾞ</source>
        <translation>The SMTP password</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>改行やﾀﾌﾞは入力できません。</source>
        <translation>Line breaks and tabs are not allowed.</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。</source>
        <translation>Enter the mail address.</translation>
    </message>
    <message>
        <source>SMTPｻｰﾊﾞｰ名を入力して下さい。</source>
        <translation>Enter the SMTP server.</translation>
    </message>
    <message>
        <source>POPｻｰﾊﾞｰ名を入力して下さい。</source>
        <translation>Enter the POP server.</translation>
    </message>
    <message>
        <source>ﾕｰｻﾞｰ名を入力して下さい。</source>
        <translation>Enter the user name.</translation>
    </message>
    <message>
        <source>ﾊﾟｽﾜｰﾄﾞを入力して下さい。</source>
        <translation>Enter the password.</translation>
    </message>
    <message>
        <source>POP befor SMTP</source>
        <translation>POP before SMTP</translation>
    </message>
    <message>
        <source>SMTP-AUTH</source>
        <translation>SMTP-AUTH</translation>
    </message>
</context>
<context>
    <name>frmMailSend</name>
    <message>
        <source>手動ﾒｰﾙ送信</source>
        <translation>Send Snapshot</translation>
    </message>
    <message>
        <source>送信(&amp;O)</source>
        <translation>&amp;Send</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。</source>
        <translation>Enter the recipient&apos;s address.</translation>
    </message>
    <message>
        <source>送信しました。</source>
        <translation>The mail was sent.</translation>
    </message>
</context>
<context>
    <name>frmMailSend_Set</name>
    <message>
        <source>自動ﾒｰﾙ設定</source>
        <translation>Automatic Mail</translation>
    </message>
    <message>
        <source>宛先選択</source>
        <translation>Destination</translation>
    </message>
    <message>
        <source>自動送信%1</source>
        <translation>Mail %1</translation>
    </message>
    <message>
        <source>有効</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>必ず、ﾒｰﾙｱｶｳﾝﾄ設定をして下さい。</source>
        <translation>Be sure to set up the mail account.</translation>
    </message>
    <message>
        <source>更新(&amp;A)</source>
        <translation>&amp;Apply</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>宛先を入力して下さい。</source>
        <translation>Enter the recipient.</translation>
    </message>
</context>
<context>
    <name>frmMask</name>
    <message>
        <source>検知範囲</source>
        <translation>Detection mask</translation>
    </message>
    <message>
        <source>無視する</source>
        <translation>Ignore</translation>
    </message>
    <message>
        <source>検知する</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>半分に数える</source>
        <translation>Count half</translation>
    </message>
    <message>
        <source>1マス</source>
        <translation>1 cell</translation>
    </message>
    <message>
        <source>3×3マス</source>
        <translation>3 × 3 cells</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>反転</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>OK(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>マスをクリックかドラッグで塗ります。色の付いたところは検知しません。</source>
        <translation>Click or drag over the cells to paint them. Tinted parts are not watched.</translation>
    </message>
    <message>
        <source>検知範囲を保存できません: %1</source>
        <translation>Cannot save the mask: %1</translation>
    </message>
</context>
<context>
    <name>frmSelect</name>
    <message>
        <source>ﾄﾞﾗｲﾊﾞｰ一覧</source>
        <translation>Cameras</translation>
    </message>
    <message>
        <source>ﾄﾞﾗｲﾊﾞｰ選択</source>
        <translation>Select Camera</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸｶﾒﾗ</source>
        <translation>Network camera</translation>
    </message>
    <message>
        <source>URLが正しくありません。
rtsp://、http://、https:// のどれかで始まり、ﾎｽﾄ名のあるURLを入力して下さい。</source>
        <translation>The URL is not valid.
Enter a URL that starts with rtsp://, http:// or https:// and names a host.</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸｶﾒﾗに接続できません。
%1</source>
        <translation>Cannot connect to the network camera.
%1</translation>
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
        <translation>Alarm Sound</translation>
    </message>
    <message>
        <source>(無し)</source>
        <translation>(None)</translation>
    </message>
</context>
<context>
    <name>frmSw_Mail</name>
    <message>
        <source>ｽｺｰﾌﾟ(&amp;C)</source>
        <translation>S&amp;cope</translation>
    </message>
    <message>
        <source>ヽｽｺｰﾌﾟ(&amp;C)</source>
        <translation>✓ S&amp;cope</translation>
    </message>
    <message>
        <source>%1 がありません。</source>
        <translation>%1 does not exist.</translation>
    </message>
    <message>
        <source>%1 を開くプログラムを起動できませんでした。</source>
        <translation>Could not start a program to open %1.</translation>
    </message>
    <message>
        <source>FTP送信中･･･</source>
        <translation>Uploading by FTP...</translation>
    </message>
    <message>
        <source>FTP送信中･･･ (待ち %1)</source>
        <translation>Uploading by FTP... (%1 waiting)</translation>
    </message>
    <message>
        <source>ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ設定ｴﾗｰ</source>
        <translation>Video format error</translation>
    </message>
    <message>
        <source>警告音: なし</source>
        <translation>Alarm sound: none</translation>
    </message>
    <message>
        <source>警告音: %1</source>
        <translation>Alarm sound: %1</translation>
    </message>
    <message>
        <source>ﾒｰﾙｱｶｳﾝﾄ未設定</source>
        <translation>Mail account not set</translation>
    </message>
    <message>
        <source>OK(&amp;K)</source>
        <translation>O&amp;K</translation>
    </message>
    <message>
        <source>変更(&amp;K)</source>
        <translation>&amp;Edit</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>Houndly: 警報</source>
        <translation>Houndly: alarm</translation>
    </message>
    <message>
        <source>%1 に動きがありました (%2 回目の警報)</source>
        <translation>Motion at %1 (alarm %2)</translation>
    </message>
    <message>
        <source>警報履歴を開く</source>
        <translation>Open the alarm history</translation>
    </message>
</context>
</TS>

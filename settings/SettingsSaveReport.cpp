#include "settings/SettingsSaveReport.h"

#include "settings/AppPaths.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

SaveFailureNotice& notice()
{
    static SaveFailureNotice current;
    return current;
}

bool& failureReported()
{
    static bool reported = false;
    return reported;
}

}  // namespace

bool sSaveSettingsReported()
{
    if (sSaveSettings()) {
        failureReported() = false;
        return true;
    }
    if (failureReported())
        return false;
    failureReported() = true;
    const QString path = appFilePath(QStringLiteral("houndly.ini"));
    std::fprintf(stderr, "houndly: cannot save the settings to %s; changes hold until the program ends\n",
                 qPrintable(path));
    if (notice())
        notice()(QCoreApplication::translate("SettingsSaveReport", "設定ファイルを保存できません: %1\n"
                                             "変更は終了までは有効ですが、保存されていません。"
                                             "ディスクの空きと書き込みの権限を確かめて下さい。")
                     .arg(path));
    return false;
}

void setSaveFailureNotice(SaveFailureNotice newNotice)
{
    notice() = std::move(newNotice);
}

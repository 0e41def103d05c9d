#include "app/UnreadableSettings.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// The reason on standard error (always English) and in the user's language.
struct ProblemTexts {
    const char* log;
    const char* shown;
};

ProblemTexts textsOf(ReadProblem problem)
{
    switch (problem) {
    case ReadProblem::Folder: return {"it is a folder", QT_TRANSLATE_NOOP("UnreadableSettings", "ﾌｧｲﾙではなくﾌｫﾙﾀﾞです。")};
    case ReadProblem::NotAFile:
        return {"it is not a regular file", QT_TRANSLATE_NOOP("UnreadableSettings", "通常のﾌｧｲﾙではありません。")};
    case ReadProblem::TooLarge: return {"it is larger than 64 MB", QT_TRANSLATE_NOOP("UnreadableSettings", "64MBを超えています。")};
    case ReadProblem::NoPermission:
        return {"no permission to read it", QT_TRANSLATE_NOOP("UnreadableSettings", "読み込む権限がありません。")};
    case ReadProblem::ReadFailed:
    case ReadProblem::None: break;
    }
    return {"it cannot be read", QT_TRANSLATE_NOOP("UnreadableSettings", "読み込み中にｴﾗｰが発生しました。")};
}

}  // namespace

QString reportUnreadableSettings(const QString& path, ReadProblem problem)
{
    const ProblemTexts texts = textsOf(problem);
    std::fprintf(stderr, "houndly: cannot read the settings file %s: %s; it is left as it is\n",
                 qPrintable(path), texts.log);
    return QCoreApplication::translate("UnreadableSettings", "設定ﾌｧｲﾙを読み込めません。\n%1\n%2\nﾌｧｲﾙはそのままにして終了します。")
        .arg(path, QCoreApplication::translate("UnreadableSettings", texts.shown));
}

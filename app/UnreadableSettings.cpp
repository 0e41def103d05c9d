#include "app/UnreadableSettings.h"

#include <cstdio>

namespace {

struct ProblemTexts {
    const char* english;
    QString japanese;
};

ProblemTexts textsOf(ReadProblem problem)
{
    switch (problem) {
    case ReadProblem::Folder: return {"it is a folder", QStringLiteral("ﾌｧｲﾙではなくﾌｫﾙﾀﾞです。")};
    case ReadProblem::NotAFile: return {"it is not a regular file", QStringLiteral("通常のﾌｧｲﾙではありません。")};
    case ReadProblem::TooLarge: return {"it is larger than 64 MB", QStringLiteral("64MBを超えています。")};
    case ReadProblem::NoPermission: return {"no permission to read it", QStringLiteral("読み込む権限がありません。")};
    case ReadProblem::ReadFailed:
    case ReadProblem::None: break;
    }
    return {"it cannot be read", QStringLiteral("読み込み中にｴﾗｰが発生しました。")};
}

}  // namespace

QString reportUnreadableSettings(const QString& path, ReadProblem problem)
{
    const ProblemTexts texts = textsOf(problem);
    std::fprintf(stderr, "houndly: cannot read the settings file %s: %s; it is left as it is\n",
                 qPrintable(path), texts.english);
    return QStringLiteral("設定ﾌｧｲﾙを読み込めません。\n%1\n%2\nﾌｧｲﾙはそのままにして終了します。").arg(path, texts.japanese);
}

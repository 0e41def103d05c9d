#include "tests/support/ClipProbe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct ToolRun {
    bool ok = false;
    QByteArray output;
    QByteArray errors;
};

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    const bool ended = tool.waitForFinished(60000);
    return {ended && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0, tool.readAllStandardOutput(),
            tool.readAllStandardError()};
}

}  // namespace

ClipFacts probeClip(const QString& path)
{
    ClipFacts facts;
    const ToolRun probe = runTool(QStringLiteral("ffprobe"),
                                  {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                                   QStringLiteral("-show_entries"),
                                   QStringLiteral("stream=codec_type,codec_name,width,height,r_frame_rate,nb_read_frames:"
                                                  "format=format_name,duration"),
                                   QStringLiteral("-of"), QStringLiteral("json"), path});
    if (!probe.ok)
        return facts;
    const QJsonObject root = QJsonDocument::fromJson(probe.output).object();
    facts.container = root[QStringLiteral("format")][QStringLiteral("format_name")].toString();
    facts.durationSeconds = root[QStringLiteral("format")][QStringLiteral("duration")].toString().toDouble();
    for (const QJsonValue& value : root[QStringLiteral("streams")].toArray()) {
        const QJsonObject stream = value.toObject();
        if (stream[QStringLiteral("codec_type")].toString() == QLatin1String("audio")) {
            facts.hasAudio = true;
            continue;
        }
        facts.codec = stream[QStringLiteral("codec_name")].toString();
        facts.width = stream[QStringLiteral("width")].toInt();
        facts.height = stream[QStringLiteral("height")].toInt();
        facts.frameRate = stream[QStringLiteral("r_frame_rate")].toString();
        facts.frames = stream[QStringLiteral("nb_read_frames")].toString().toInt();
    }
    facts.probed = true;
    const ToolRun decode = runTool(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                                                              path, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    facts.decodes = decode.ok && decode.errors.trimmed().isEmpty();
    return facts;
}

#include "history/AlarmRecord.h"

#include <QJsonArray>

namespace {

QJsonArray toArray(const QStringList& texts)
{
    return QJsonArray::fromStringList(texts);
}

QStringList toStrings(const QJsonValue& value)
{
    QStringList texts;
    for (const QJsonValue& item : value.toArray())
        if (item.isString())
            texts.append(item.toString());
    return texts;
}

}  // namespace

QString historyTimeText(const QDateTime& time)
{
    // The offset is written, so records stay in order across a change of summer time.
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QDateTime historyTimeFromText(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toLocalTime();
}

QJsonObject uploadToJson(const UploadResult& upload)
{
    QJsonObject object{{QStringLiteral("ok"), upload.ok}, {QStringLiteral("name"), upload.name}};
    if (!upload.failure.isEmpty())
        object.insert(QStringLiteral("failure"), upload.failure);
    return object;
}

UploadResult uploadFromJson(const QJsonObject& object)
{
    return {object[QStringLiteral("ok")].toBool(), object[QStringLiteral("name")].toString(),
            object[QStringLiteral("failure")].toString()};
}

QJsonObject mailToJson(const MailResult& mail)
{
    return {{QStringLiteral("to"), mail.destination},
            {QStringLiteral("ok"), mail.ok},
            {QStringLiteral("detail"), mail.detail}};
}

QJsonObject commandToJson(const CommandResult& command)
{
    return {{QStringLiteral("setting"), command.setting},
            {QStringLiteral("ok"), command.ok},
            {QStringLiteral("detail"), command.detail}};
}

QJsonObject alarmToJson(const AlarmRecord& record)
{
    QJsonArray mails;
    for (const MailResult& mail : record.mails)
        mails.append(mailToJson(mail));
    QJsonObject object{{QStringLiteral("type"), QStringLiteral("alarm")},
                       {QStringLiteral("time"), historyTimeText(record.time)},
                       {QStringLiteral("count"), record.count},
                       {QStringLiteral("alarmCount"), record.alarmCount},
                       {QStringLiteral("snapshots"), toArray(record.snapshots)},
                       {QStringLiteral("mails"), mails}};
    if (!record.snapshotFailures.isEmpty())
        object.insert(QStringLiteral("snapshotFailures"), toArray(record.snapshotFailures));
    if (!record.clip.isEmpty()) {
        object.insert(QStringLiteral("clip"), record.clip);
        object.insert(QStringLiteral("clipRecorded"), record.clipRecorded);
        if (!record.clipFailure.isEmpty())
            object.insert(QStringLiteral("clipFailure"), record.clipFailure);
    }
    if (record.upload)
        object.insert(QStringLiteral("upload"), uploadToJson(*record.upload));
    if (!record.commands.isEmpty()) {
        QJsonArray commands;
        for (const CommandResult& command : record.commands)
            commands.append(commandToJson(command));
        object.insert(QStringLiteral("commands"), commands);
    }
    if (record.interrupted)
        object.insert(QStringLiteral("interrupted"), true);
    return object;
}

std::optional<AlarmRecord> alarmFromJson(const QJsonObject& object)
{
    if (object[QStringLiteral("type")].toString() != QStringLiteral("alarm"))
        return std::nullopt;
    AlarmRecord record;
    record.time = historyTimeFromText(object[QStringLiteral("time")].toString());
    if (!record.time.isValid())
        return std::nullopt;
    record.count = object[QStringLiteral("count")].toInt();
    record.alarmCount = object[QStringLiteral("alarmCount")].toInt();
    mergeResult(record, object);
    return record;
}

QJsonObject resultLine(const QDateTime& alarm, QJsonObject fields)
{
    fields.insert(QStringLiteral("type"), QStringLiteral("result"));
    fields.insert(QStringLiteral("alarm"), historyTimeText(alarm));
    return fields;
}

void mergeResult(AlarmRecord& record, const QJsonObject& object)
{
    record.snapshots += toStrings(object[QStringLiteral("snapshots")]);
    record.snapshotFailures += toStrings(object[QStringLiteral("snapshotFailures")]);
    for (const QJsonValue& item : object[QStringLiteral("mails")].toArray()) {
        const QJsonObject mail = item.toObject();
        record.mails.append({mail[QStringLiteral("to")].toString(), mail[QStringLiteral("ok")].toBool(),
                             mail[QStringLiteral("detail")].toString()});
    }
    if (object.contains(QStringLiteral("clip"))) {
        record.clip = object[QStringLiteral("clip")].toString();
        record.clipRecorded = object[QStringLiteral("clipRecorded")].toBool();
        record.clipFailure = object[QStringLiteral("clipFailure")].toString();
    }
    if (object[QStringLiteral("upload")].isObject())
        record.upload = uploadFromJson(object[QStringLiteral("upload")].toObject());
    for (const QJsonValue& item : object[QStringLiteral("commands")].toArray()) {
        const QJsonObject command = item.toObject();
        record.commands.append({command[QStringLiteral("setting")].toString(), command[QStringLiteral("ok")].toBool(),
                                command[QStringLiteral("detail")].toString()});
    }
    if (object.contains(QStringLiteral("interrupted")))
        record.interrupted = object[QStringLiteral("interrupted")].toBool();
}

#include "upload/FtpScript.h"

namespace {

QString lineError(int lineNumber, const QString& reason)
{
    return QStringLiteral("line %1: %2").arg(lineNumber).arg(reason);
}

// The answer lines keep inner and outer spaces: a password may hold them.
QString answerLine(const QStringList& lines, qsizetype index)
{
    return index < lines.size() ? lines[index] : QString();
}

std::optional<FtpStep> parseStep(const QStringList& words, QString& reason)
{
    const QString command = words.front().toLower();
    if (command == QLatin1String("cd") || command == QLatin1String("cwd")) {
        if (words.size() != 2) {
            reason = QStringLiteral("CD needs one folder");
            return std::nullopt;
        }
        return FtpStep{FtpStep::Kind::ChangeFolder, words[1], {}, {}};
    }
    if (command == QLatin1String("binary") || command == QLatin1String("bin"))
        return FtpStep{FtpStep::Kind::Binary, {}, {}, {}};
    if (command == QLatin1String("ascii"))
        return FtpStep{FtpStep::Kind::Ascii, {}, {}, {}};
    if (command == QLatin1String("put") || command == QLatin1String("send")) {
        if (words.size() < 2 || words.size() > 3 || words[1].isEmpty()) {
            reason = QStringLiteral("PUT needs a local file and at most one remote name");
            return std::nullopt;
        }
        // Without a remote name the file keeps its own name.
        const QString remote = words.size() == 3 ? words[2] : words[1].section(QLatin1Char('/'), -1);
        return FtpStep{FtpStep::Kind::Put, {}, words[1], remote};
    }
    reason = QStringLiteral("unknown command \"%1\"").arg(words.front());
    return std::nullopt;
}

}  // namespace

QStringList splitFtpCommand(const QString& line)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (const QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

FtpScriptParse parseFtpScript(const QString& text)
{
    QString normalized = text;
    normalized.remove(QLatin1Char('\r'));
    const QStringList lines = normalized.split(QLatin1Char('\n'));

    FtpScript script;
    bool opened = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const QStringList words = splitFtpCommand(lines[i]);
        if (words.isEmpty())
            continue;
        const QString command = words.front().toLower();
        if (command == QLatin1String("quit") || command == QLatin1String("bye"))
            break;
        if (command == QLatin1String("open")) {
            if (opened)
                return {std::nullopt, lineError(lineNumber, QStringLiteral("only one open per script"))};
            if (words.size() < 2 || words.size() > 3)
                return {std::nullopt, lineError(lineNumber, QStringLiteral("open needs a host and at most a port"))};
            script.host = words[1];
            if (words.size() == 3) {
                bool isNumber = false;
                const int port = words[2].toInt(&isNumber);
                if (!isNumber || port < 1 || port > 65535)
                    return {std::nullopt, lineError(lineNumber, QStringLiteral("bad port \"%1\"").arg(words[2]))};
                script.port = port;
                script.portGiven = true;
            }
            // The two lines after "open" answer the user name and password prompts.
            script.user = answerLine(lines, i + 1).trimmed();
            script.password = answerLine(lines, i + 2);
            i += 2;
            opened = true;
            continue;
        }
        if (!opened)
            return {std::nullopt, lineError(lineNumber, QStringLiteral("\"%1\" before open").arg(words.front()))};
        QString reason;
        std::optional<FtpStep> step = parseStep(words, reason);
        if (!step)
            return {std::nullopt, lineError(lineNumber, reason)};
        script.steps.push_back(*step);
    }
    if (!opened)
        return {std::nullopt, QStringLiteral("no open command")};
    return {script, {}};
}

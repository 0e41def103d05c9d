#include "notify/ShellWords.h"

#include <utility>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The characters a backslash escapes inside double quotes.
bool escapesInDoubleQuotes(QChar c)
{
    return c == u'"' || c == u'\\' || c == u'$' || c == u'`';
}

}  // namespace

QStringList splitShellWords(const QString& line, QString* error)
{
    QStringList words;
    QString word;
    bool inWord = false;  // '' makes a word of its own, empty as it is
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (isBlank(c)) {
            if (inWord)
                words << std::exchange(word, QString());
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == u'\\') {
            if (++i == line.size()) {
                *error = QStringLiteral("it ends in a backslash");
                return {};
            }
            word += line[i];
        } else if (c == u'\'') {
            const qsizetype close = line.indexOf(u'\'', i + 1);
            if (close < 0) {
                *error = QStringLiteral("a ' is not closed");
                return {};
            }
            word += line.mid(i + 1, close - i - 1);
            i = close;
        } else if (c == u'"') {
            for (++i; i < line.size() && line[i] != u'"'; ++i) {
                if (line[i] == u'\\' && i + 1 < line.size() && escapesInDoubleQuotes(line[i + 1]))
                    ++i;
                word += line[i];
            }
            if (i == line.size()) {
                *error = QStringLiteral("a \" is not closed");
                return {};
            }
        } else {
            word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

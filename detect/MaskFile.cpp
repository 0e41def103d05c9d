#include "detect/MaskFile.h"

#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// A header longer than this is no PGM a program wrote.
constexpr qint64 kLongestHeader = 4096;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the header's numbers: blanks and comments ("#" to the line's end)
// between them, one blank after the last.
class HeaderReader {
public:
    explicit HeaderReader(const QByteArray& bytes) : bytes_(bytes) {}

    std::optional<qint64> number()
    {
        skipBlanksAndComments();
        qint64 value = 0;
        const qsizetype start = at_;
        while (at_ < bytes_.size() && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
            // Past this it is absurd anyway; stop before the number overflows.
            if (value <= kLargestMaskSide * qint64{1000})
                value = value * 10 + (bytes_[at_] - '0');
            ++at_;
        }
        if (at_ == start || at_ >= bytes_.size() || !isBlank(bytes_[at_]))
            return std::nullopt;
        return value;
    }
    // Where the values start: after the one blank that ends the header.
    qsizetype dataStart() const { return at_ + 1; }

private:
    void skipBlanksAndComments()
    {
        while (at_ < bytes_.size()) {
            if (isBlank(bytes_[at_])) {
                ++at_;
            } else if (bytes_[at_] == '#') {
                while (at_ < bytes_.size() && bytes_[at_] != '\n')
                    ++at_;
            } else {
                return;
            }
        }
    }

    const QByteArray& bytes_;
    qsizetype at_ = 2;  // after the magic number
};

MaskRead failed(MaskProblem problem)
{
    return {QImage(), problem};
}

}  // namespace

QString maskFilePath()
{
    return appFilePath(QStringLiteral("mask.pgm"));
}

MaskRead readMaskFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failed(MaskProblem::Missing);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return failed(MaskProblem::Unreadable);
    const QByteArray head = file.read(kLongestHeader);
    if (file.error() != QFileDevice::NoError)
        return failed(MaskProblem::Unreadable);
    if (!head.startsWith("P5") || head.size() < 3 || !isBlank(head[2]))
        return failed(MaskProblem::NotBinaryPgm);
    HeaderReader header(head);
    const std::optional<qint64> width = header.number();
    const std::optional<qint64> height = width ? header.number() : std::nullopt;
    const std::optional<qint64> maximum = height ? header.number() : std::nullopt;
    if (!maximum)
        return failed(MaskProblem::NotBinaryPgm);
    if (*maximum < 1 || *maximum > 255)
        return failed(MaskProblem::NotEightBit);
    if (*width < 1 || *height < 1 || *width > kLargestMaskSide || *height > kLargestMaskSide)
        return failed(MaskProblem::BadSize);

    const qint64 valueCount = *width * *height;
    if (!file.seek(header.dataStart()))
        return failed(MaskProblem::Unreadable);
    const QByteArray values = file.read(valueCount);
    if (file.error() != QFileDevice::NoError)
        return failed(MaskProblem::Unreadable);
    if (values.size() < valueCount)
        return failed(MaskProblem::ShortData);

    QImage weights(int(*width), int(*height), QImage::Format_Grayscale8);
    const auto top = static_cast<int>(*maximum);
    for (int y = 0; y < weights.height(); ++y) {
        const auto* source = reinterpret_cast<const uint8_t*>(values.constData()) + qint64{y} * *width;
        uint8_t* line = weights.scanLine(y);
        for (int x = 0; x < weights.width(); ++x) {
            if (source[x] > top)
                return failed(MaskProblem::BadValue);
            // A file of fewer levels means the same shares of full weight.
            line[x] = static_cast<uint8_t>((source[x] * 255 + top / 2) / top);
        }
    }
    return {weights, MaskProblem::None};
}

QByteArray maskFileBytes(const QImage& weights)
{
    const QImage grey = weights.convertToFormat(QImage::Format_Grayscale8);
    QByteArray bytes = QStringLiteral("P5\n%1 %2\n255\n").arg(grey.width()).arg(grey.height()).toLatin1();
    for (int y = 0; y < grey.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width());
    return bytes;
}

bool writeMaskFile(const QString& path, const QImage& weights)
{
    return writeFileAtomically(path, maskFileBytes(weights));
}

QString maskProblemText(MaskProblem problem)
{
    switch (problem) {
    case MaskProblem::None:
        return QString();
    case MaskProblem::Missing:
        return QStringLiteral("the file is missing");
    case MaskProblem::Unreadable:
        return QStringLiteral("the file cannot be read");
    case MaskProblem::NotBinaryPgm:
        return QStringLiteral("not a binary PGM (P5)");
    case MaskProblem::NotEightBit:
        return QStringLiteral("not 8 bits a value (its maximum must be 1 to 255)");
    case MaskProblem::BadSize:
        return QStringLiteral("its width or height is 0 or above %1").arg(kLargestMaskSide);
    case MaskProblem::ShortData:
        return QStringLiteral("it ends before width x height values");
    case MaskProblem::BadValue:
        return QStringLiteral("a value lies above its maximum");
    }
    return QString();
}

QString maskProblemStatusText(MaskProblem problem)
{
    const char* why = nullptr;
    switch (problem) {
    case MaskProblem::None:
        return QString();
    case MaskProblem::Missing:
        why = QT_TRANSLATE_NOOP("MaskFile", "ファイルがありません");
        break;
    case MaskProblem::Unreadable:
        why = QT_TRANSLATE_NOOP("MaskFile", "読めません");
        break;
    case MaskProblem::NotBinaryPgm:
        why = QT_TRANSLATE_NOOP("MaskFile", "バイナリPGM (P5) ではありません");
        break;
    case MaskProblem::NotEightBit:
        why = QT_TRANSLATE_NOOP("MaskFile", "8ビットのPGMではありません");
        break;
    case MaskProblem::BadSize:
        why = QT_TRANSLATE_NOOP("MaskFile", "大きさが不正です");
        break;
    case MaskProblem::ShortData:
        why = QT_TRANSLATE_NOOP("MaskFile", "データが足りません");
        break;
    case MaskProblem::BadValue:
        why = QT_TRANSLATE_NOOP("MaskFile", "最大値を超える値があります");
        break;
    }
    return QCoreApplication::translate("MaskFile", "Houndly: 検知範囲が使えないワン！ 画面全体を見るワン (mask.pgm: %1)")
        .arg(QCoreApplication::translate("MaskFile", why));
}

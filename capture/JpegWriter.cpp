#include "capture/JpegWriter.h"

#include "capture/FrameJpeg.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr int16_t kWritten = 0;
constexpr int16_t kCannotOpen = 1;
constexpr int16_t kCannotWrite = 2;
constexpr int16_t kFormatError = 3;
constexpr int16_t kEncoderFailed = 4;
constexpr int16_t kNoPicture = 5;

// libjpeg cannot encode sides longer than this.
constexpr int kLargestSide = 65500;

}  // namespace

int jpegQualityForRate(int compressionRate)
{
    return std::clamp(101 - compressionRate, 1, 100);
}

int16_t DCSavetoJPEG(const QImage& picture, int width, int height, const QString& fileName,
                     uint8_t compressionRate, int32_t /*option: always 0*/)
{
    if (picture.isNull())
        return kNoPicture;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide)
        return kFormatError;

    const QImage scaled = picture.size() == QSize(width, height)
                        ? picture
                        : picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage pixels = scaled.convertToFormat(QImage::Format_RGB32);
    if (pixels.isNull())
        return kFormatError;
    const QByteArray jpeg = encodeFrameJpeg(pixels, jpegQualityForRate(compressionRate));
    if (jpeg.isEmpty())
        return kEncoderFailed;

    // A failed write leaves the previous file, never half a picture.
    QSaveFile file(fileName);
    // Unbuffered, so a short write shows in the count rather than being lost in a flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return kCannotOpen;
    if (file.write(jpeg) != jpeg.size() || !file.commit())
        return kCannotWrite;
    return kWritten;
}

QString jpegErrorText(int16_t code)
{
    switch (code) {
    case kCannotOpen: return QCoreApplication::translate("JpegWriter", "ﾌｧｲﾙがｵｰﾌﾟﾝできません。");
    case kCannotWrite: return QCoreApplication::translate("JpegWriter", "ﾌｧｲﾙが書き込めません。");
    case kFormatError: return QCoreApplication::translate("JpegWriter", "ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。");
    case kEncoderFailed: return QCoreApplication::translate("JpegWriter", "ｽﾀｯｸｵｰﾊﾞｰﾌﾛｰです。");
    case kNoPicture: return QCoreApplication::translate("JpegWriter", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。");
    default: return {};
    }
}

bool GetJpegError(int16_t& code)
{
    return code == kWritten;
}

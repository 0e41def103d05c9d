#include "capture/JpegWriter.h"

#include <QSaveFile>

#include <turbojpeg.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int16_t kWritten = 0;
constexpr int16_t kCannotOpen = 1;
constexpr int16_t kCannotWrite = 2;
constexpr int16_t kFormatError = 3;
constexpr int16_t kEncoderFailed = 4;
constexpr int16_t kNoPicture = 5;

// libjpeg cannot encode sides longer than this.
constexpr int kLargestSide = 65500;

struct TurboJpegDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct TurboJpegBufferDeleter {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

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

    QImage scaled = picture.size() == QSize(width, height)
                        ? picture
                        : picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // RGBX8888 has the same byte order on every machine, unlike RGB32.
    const QImage pixels = scaled.convertToFormat(QImage::Format_RGBX8888);
    if (pixels.isNull())
        return kFormatError;

    std::unique_ptr<void, TurboJpegDeleter> encoder(tjInitCompress());
    if (!encoder)
        return kEncoderFailed;
    unsigned char* jpegData = nullptr;
    unsigned long jpegSize = 0;
    const int failed = tjCompress2(encoder.get(), pixels.constBits(), width,
                                   static_cast<int>(pixels.bytesPerLine()), height, TJPF_RGBX,
                                   &jpegData, &jpegSize, TJSAMP_420,
                                   jpegQualityForRate(compressionRate), TJFLAG_ACCURATEDCT);
    std::unique_ptr<unsigned char, TurboJpegBufferDeleter> jpeg(jpegData);
    if (failed != 0 || !jpeg)
        return kEncoderFailed;

    // A failed write leaves the previous file, never half a picture.
    QSaveFile file(fileName);
    // Unbuffered, so a short write shows in the count rather than being lost in a flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return kCannotOpen;
    const auto size = static_cast<qint64>(jpegSize);
    if (file.write(reinterpret_cast<const char*>(jpeg.get()), size) != size || !file.commit())
        return kCannotWrite;
    return kWritten;
}

QString jpegErrorText(int16_t code)
{
    switch (code) {
    case kCannotOpen: return QStringLiteral("ﾌｧｲﾙがｵｰﾌﾟﾝできません。");
    case kCannotWrite: return QStringLiteral("ﾌｧｲﾙが書き込めません。");
    case kFormatError: return QStringLiteral("ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。");
    case kEncoderFailed: return QStringLiteral("ｽﾀｯｸｵｰﾊﾞｰﾌﾛｰです。");
    case kNoPicture: return QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。");
    default: return {};
    }
}

bool GetJpegError(int16_t& code)
{
    return code == kWritten;
}

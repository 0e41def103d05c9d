#include "tests/support/Footage.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kNumberBits = 10;
constexpr int kStripeDark = 16;
constexpr int kStripeLight = 235;

QByteArray runFfmpeg(const QStringList& arguments, bool* ok)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + arguments);
    const bool ended = ffmpeg.waitForFinished(120000);
    *ok = ended && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
    if (!*ok)
        ADD_FAILURE() << "ffmpeg: " << ffmpeg.readAllStandardError().toStdString();
    return ffmpeg.readAllStandardOutput();
}

QString filterGraph(const Footage& footage)
{
    const int width = footage.size.width();
    const int height = footage.size.height();
    QString graph = QStringLiteral(
                        "color=s=%1x%2:r=%3:d=%4,format=rgb24,"
                        "geq=r='90+40*sin(X/9)+40*(Y/H)':g='80+35*cos(Y/7)+30*(X/W)':b='70+30*sin((X+Y)/11)',"
                        "drawbox=x=iw*5/8:y=ih/12:w=iw/4:h=ih/4:color=0xF0F0F0:t=fill")
                        .arg(width)
                        .arg(height)
                        .arg(footage.framesPerSecond)
                        .arg(footage.seconds);
    if (footage.walkerFrom >= 0) {
        const int walkerWidth = width / 4;
        graph += QStringLiteral("[room];testsrc=s=%1x%2:r=%3[walker];[room][walker]overlay=x='-w+(t-%4)*%5':y=%6:eval=frame:shortest=1")
                     .arg(walkerWidth)
                     .arg(height * 3 / 4)
                     .arg(footage.framesPerSecond)
                     .arg(footage.walkerFrom)
                     .arg((width + walkerWidth) / 4.0)
                     .arg(height / 6);
    }
    if (footage.leaves) {
        graph += QStringLiteral("[still];color=c=0x507838:s=%1x%2:r=%3:d=%4,noise=alls=90:allf=t[leaves];"
                                "[still][leaves]overlay=0:0")
                     .arg(width / 2)
                     .arg(height / 6)
                     .arg(footage.framesPerSecond)
                     .arg(footage.seconds);
    }
    if (!footage.light.isEmpty())
        graph += QLatin1Char(',') + footage.light;
    graph += QStringLiteral(",noise=alls=3:allf=t");
    return graph;
}

}  // namespace

bool makeFootage(const QString& path, const Footage& footage)
{
    bool ok = false;
    runFfmpeg({QStringLiteral("-filter_complex"), filterGraph(footage), QStringLiteral("-c:v"), QStringLiteral("mjpeg"),
               QStringLiteral("-q:v"), QStringLiteral("3"), path},
              &ok);
    return ok;
}

int footageNumber(const QImage& frame)
{
    int number = 0;
    for (int bit = 0; bit < kNumberBits; ++bit) {
        const int x = (2 * bit + 1) * frame.width() / (2 * kNumberBits);
        number = number * 2 + (qGray(frame.pixel(x, frame.height() / 16)) > (kStripeDark + kStripeLight) / 2 ? 1 : 0);
    }
    return number;
}

QImage numberedPicture(int number, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    for (int x = 0; x < size.width(); ++x) {
        const int bit = x * kNumberBits / size.width();
        const int level = (number >> (kNumberBits - 1 - bit)) & 1 ? kStripeLight : kStripeDark;
        for (int y = 0; y < size.height() / 8; ++y)
            picture.setPixel(x, y, qRgb(level, level, level));
    }
    return picture;
}

std::vector<QImage> decodeFrames(const QString& path, QSize size)
{
    bool ok = false;
    const QByteArray bytes = runFfmpeg({QStringLiteral("-i"), path, QStringLiteral("-s"),
                                        QStringLiteral("%1x%2").arg(size.width()).arg(size.height()), QStringLiteral("-f"),
                                        QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgra"),
                                        QStringLiteral("-")},
                                       &ok);
    std::vector<QImage> frames;
    const qsizetype frameBytes = qsizetype{size.width()} * size.height() * 4;
    for (qsizetype offset = 0; ok && offset + frameBytes <= bytes.size(); offset += frameBytes) {
        QImage frame(size, QImage::Format_RGB32);
        std::memcpy(frame.bits(), bytes.constData() + offset, static_cast<size_t>(frameBytes));
        frames.push_back(frame);
    }
    return frames;
}

double meanByteDifference(const QImage& a, const QImage& b)
{
    long long sum = 0;
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
        sum += std::abs(a.constBits()[i] - b.constBits()[i]);
    return double(sum) / double(a.sizeInBytes());
}

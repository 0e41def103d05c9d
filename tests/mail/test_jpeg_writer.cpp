// The JPEG writer: result codes, scaling and the compression-rate mapping.
#include "MailFixture.h"
#include "capture/JpegWriter.h"

#include <gtest/gtest.h>

#include <QFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Red on the left half, blue on the right.
QImage twoColourFrame()
{
    QImage frame(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            frame.setPixel(x, y, x < 32 ? qRgb(220, 20, 20) : qRgb(20, 20, 220));
    return frame;
}

}  // namespace

TEST(JpegWriter, ResultCodesOfBadInputAndOfAFailedWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.jpg");
    // picture, width, height, file, code
    const std::tuple<QImage, int, int, QString, int16_t> cases[] = {
        {QImage(), 320, 240, path, 5},
        {twoColourFrame(), 0, 240, path, 3},
        {twoColourFrame(), 320, -1, path, 3},
        {twoColourFrame(), 70000, 10, path, 3},
        {twoColourFrame(), 320, 240, dir.filePath("no/such/folder/out.jpg"), 1},
    };
    for (const auto& [picture, width, height, file, expected] : cases) {
        int16_t code = DCSavetoJPEG(picture, width, height, file, 50, 0);
        EXPECT_EQ(code, expected) << width << "x" << height;
        EXPECT_TRUE(!GetJpegError(code) && !jpegErrorText(code).isEmpty()) << code;
    }
    EXPECT_FALSE(QFile::exists(path));
    // A child with a tiny file-size limit: the write itself fails, and no partial file is kept.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(DCSavetoJPEG(twoColourFrame(), 640, 480, path, 0, 0));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_FALSE(QFile::exists(path));
}

TEST(JpegWriter, WritesTheScaledPictureAtTheRateQuality)
{
    // rate, quality, first value of the standard table scaled for that quality
    const std::array<int, 3> cases[] = {{0, 100, 1}, {1, 100, 1}, {50, 51, 16}, {100, 1, 255}, {255, 1, 255}};
    QTemporaryDir dir;
    for (const auto& [rate, quality, firstQuant] : cases) {
        EXPECT_EQ(jpegQualityForRate(rate), quality) << rate;
        const QString path = dir.filePath(QString("rate%1.jpg").arg(rate));
        int16_t code = DCSavetoJPEG(twoColourFrame(), 320, 240, path, static_cast<uint8_t>(rate), 0);
        ASSERT_TRUE(code == 0 && GetJpegError(code)) << code;
        EXPECT_EQ(firstQuantValue(readFileBytes(path)), firstQuant) << rate;
        const QImage written(path, "JPEG");
        ASSERT_EQ(written.size(), QSize(320, 240)) << rate;
        if (quality < 50)
            continue;
        const QColor left = written.pixelColor(40, 120);
        const QColor right = written.pixelColor(280, 120);
        EXPECT_TRUE(left.red() > 180 && left.blue() < 70 && right.blue() > 180 && right.red() < 70) << rate;
    }
}

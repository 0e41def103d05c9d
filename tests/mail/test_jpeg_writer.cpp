// The JPEG writer: result codes, scaling and the compression-rate mapping.
#include "capture/JpegWriter.h"
#include "tests/support/TempAppFolder.h"

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

// The first value of the first quantisation table (luminance DC).
int firstQuantValue(const QByteArray& jpeg)
{
    const int marker = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    // FF DB, 2 length bytes, 1 precision/id byte, then the table.
    return marker < 0 ? -1 : static_cast<unsigned char>(jpeg.at(marker + 5));
}

}  // namespace

TEST(JpegWriter, ResultCodesOfBadInput)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.jpg");
    struct Case {
        const char* what;
        QImage picture;
        int width, height;
        QString file;
        int16_t code;
    };
    const Case cases[] = {
        {"no picture", QImage(), 320, 240, path, 5},
        {"zero width", twoColourFrame(), 0, 240, path, 3},
        {"negative height", twoColourFrame(), 320, -1, path, 3},
        {"oversized", twoColourFrame(), 70000, 10, path, 3},
        {"missing folder", twoColourFrame(), 320, 240, dir.filePath("no/such/folder/out.jpg"), 1},
    };
    for (const Case& c : cases) {
        int16_t code = DCSavetoJPEG(c.picture, c.width, c.height, c.file, 50, 0);
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_FALSE(GetJpegError(code)) << c.what;
        EXPECT_FALSE(jpegErrorText(code).isEmpty()) << c.what;
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(JpegWriter, WriteFailureGivesCode2AndKeepsNoPartialFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.jpg");
    // A child with a tiny file-size limit: the write itself fails.
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
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(JpegWriter, WritesTheScaledPictureAtTheRateQuality)
{
    struct Case {
        int rate;
        int quality;
        int firstQuant;  // standard table scaled for that quality
    };
    const Case cases[] = {{0, 100, 1}, {1, 100, 1}, {50, 51, 16}, {100, 1, 255}, {255, 1, 255}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        EXPECT_EQ(jpegQualityForRate(c.rate), c.quality) << c.rate;
        const QString path = dir.filePath(QString("rate%1.jpg").arg(c.rate));
        int16_t code = DCSavetoJPEG(twoColourFrame(), 320, 240, path, static_cast<uint8_t>(c.rate), 0);
        ASSERT_EQ(code, 0);
        EXPECT_TRUE(GetJpegError(code));
        EXPECT_EQ(firstQuantValue(readFileBytes(path)), c.firstQuant) << c.rate;
        const QImage written(path, "JPEG");
        ASSERT_EQ(written.size(), QSize(320, 240)) << c.rate;
        if (c.quality < 50)
            continue;
        const QColor left = written.pixelColor(40, 120);
        const QColor right = written.pixelColor(280, 120);
        EXPECT_TRUE(left.red() > 180 && left.blue() < 70 && right.blue() > 180 && right.red() < 70) << c.rate;
    }
}

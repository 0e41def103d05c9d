// The mask editor driven as a user would, over the demo camera's live picture.
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "detect/MaskCanvas.h"
#include "detect/MaskFile.h"
#include "detect/frmMask.h"
#include "settings/Settings.h"
#include "tests/support/NamedWidgets.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MaskEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lastingApplication<QApplication>();
        Settings = SettingsRecord{};
        setPreferredCamera(QStringLiteral("demo"));
        ASSERT_TRUE(capDriverConnect(&camera, 0));
    }
    void TearDown() override
    {
        setPreferredCamera({});
        Settings = SettingsRecord{};
    }

    // Opens the editor, lets `edit` work on it and its picture, then clicks `button`.
    void runEditor(const std::function<void(frmMask&, MaskCanvas&)>& edit, const char* button)
    {
        frmMask editor(&camera);
        editor.show();
        auto* canvas = namedChild<MaskCanvas>(editor, "picMask");
        ASSERT_NE(canvas, nullptr);
        edit(editor, *canvas);
        clickNamed(editor, button);
        EXPECT_FALSE(editor.isVisible());
    }
    // The left button pressed on a cell, moved to others while held, let go on the last.
    static void drag(MaskCanvas& canvas, std::initializer_list<QPoint> cells)
    {
        const auto send = [&canvas](QEvent::Type type, QPoint cell, Qt::MouseButtons held) {
            const QPointF at = canvas.cellRect(cell.x(), cell.y()).center();
            QMouseEvent event(type, at, canvas.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              held, {});
            QApplication::sendEvent(&canvas, &event);
        };
        send(QEvent::MouseButtonPress, *cells.begin(), Qt::LeftButton);
        for (const QPoint cell : cells)
            send(QEvent::MouseMove, cell, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, *std::prev(cells.end()), Qt::NoButton);
    }
    uint8_t storedWeight(int column, int row) const
    {
        const QImage weights = readMaskFile(maskFile).weights;
        return weights.isNull() ? 0 : weights.constScanLine(row)[column];
    }

    TempAppFolder home;
    CaptureWindow camera;
    const QString maskFile = home.filePath(QStringLiteral("mask.pgm"));
};

// Cancel leaves the file and the option as they were, whatever was painted.
// The editor starts from the file as it is, stretched over its grid; OK writes
// the grid (0600) and turns the mask on, and the detector reads what was painted.
TEST_F(MaskEditorTest, PaintingInvertAndClearReachTheFileOnOkAndNothingOnCancel)
{
    QImage topLeftIgnored(2, 2, QImage::Format_Grayscale8);
    topLeftIgnored.fill(255);
    topLeftIgnored.setPixel(0, 0, 0);
    ASSERT_TRUE(writeMaskFile(maskFile, topLeftIgnored));
    const QByteArray before = readFileBytes(maskFile);
    runEditor([](frmMask& editor, MaskCanvas& canvas) {
        clickNamed(editor, "cmdInvert");
        drag(canvas, {{3, 3}});
    }, "bcmdCancel");
    EXPECT_EQ(readFileBytes(maskFile), before);
    EXPECT_FALSE(Settings.EXT.MASK);
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("houndly.ini"))));

    runEditor([](frmMask& editor, MaskCanvas& canvas) {
        // The live picture shows where nothing is tinted.
        ASSERT_TRUE(QTest::qWaitFor([&] { return qGray(canvas.grab().toImage().pixel(canvas.cellRect(31, 23).center())) > 20; }));
        const QImage shown = canvas.grab().toImage();
        const QRgb tinted = shown.pixel(canvas.cellRect(0, 0).center());
        EXPECT_GT(qRed(tinted), qGreen(tinted) + 40) << "the ignored corner is tinted";
        clickNamed(editor, "cmdInvert");
    }, "bcmdOK");
    EXPECT_TRUE(Settings.EXT.MASK);
    EXPECT_TRUE(readFileBytes(home.filePath(QStringLiteral("houndly.ini"))).contains("\nMASK=True\n"));
    EXPECT_EQ(QFile::permissions(maskFile) & 0x0777, QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(readMaskFile(maskFile).weights.size(), QSize(MaskGrid::kColumns, MaskGrid::kRows));
    EXPECT_EQ(storedWeight(15, 11), 255) << "inverted";
    EXPECT_EQ(storedWeight(16, 12), 0) << "inverted";

    runEditor([](frmMask& editor, MaskCanvas& canvas) {
        clickNamed(editor, "cmdClear");
        drag(canvas, {{5, 5}});
        clickNamed(editor, "optHalf");
        clickNamed(editor, "optBrush3");
        drag(canvas, {{20, 10}});
        clickNamed(editor, "optIgnore");
        clickNamed(editor, "optBrush1");
        drag(canvas, {{0, 23}, {2, 23}});
        clickNamed(editor, "optCount");
        drag(canvas, {{1, 23}});
    }, "bcmdOK");
    const struct {
        int column, row;
        uint8_t weight;
    } cells[] = {{5, 5, 0},    {4, 5, 255},  {19, 9, 128}, {21, 11, 128}, {22, 10, 255}, {18, 10, 255},
                 {0, 23, 0},   {1, 23, 255}, {2, 23, 0},   {3, 23, 255},  {0, 0, 255},   {31, 23, 255}};
    for (const auto& cell : cells)
        EXPECT_EQ(storedWeight(cell.column, cell.row), cell.weight) << cell.column << ", " << cell.row;
}

}  // namespace

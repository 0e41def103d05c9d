#include "capture/CapturePreview.h"
#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "capture/VideoCompressionDialog.h"
#include "capture/VideoFormatDialog.h"
#include "capture/VideoSourceDialog.h"
#include "capture/frmSelect.h"
#include "tests/support/TestApplication.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QSpinBox>

#include <atomic>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Three demo cameras at indices 0..2; the window in use is hCapWnd.
class CaptureUiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication<QApplication>();
        setDriverEnumerator([] {
            std::vector<DriverEntry> drivers;
            for (const char* name : {"first", "second", "third"})
                drivers.push_back({name, [] { return std::make_unique<DemoDriver>(); }});
            return drivers;
        });
        hCapWnd = &window;
    }
    void TearDown() override
    {
        hCapWnd = nullptr;
        setDriverEnumerator({});
    }

    void pressOk(QDialog& dialog)
    {
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }

    CaptureWindow window;
};

TEST_F(CaptureUiTest, DriverSelectionPreselectsTheDriverInUseAndConnectsTheChosenOne)
{
    frmSelect none(nullptr, [] { FAIL() << "nothing was connected"; });
    EXPECT_EQ(none.cmboSource->currentIndex(), -1);
    none.cmdSelect->click();
    EXPECT_FALSE(window.isConnected());

    ASSERT_TRUE(capDriverConnect(&window, 1));
    frmSelect cancelled;
    cancelled.cmboSource->setCurrentIndex(2);
    cancelled.cmdCancel->click();
    EXPECT_EQ(window.driverIndex(), 1);

    int resized = 0;
    frmSelect dialog(nullptr, [&] { ++resized; });
    ASSERT_EQ(dialog.cmboSource->count(), 3);
    EXPECT_EQ(dialog.cmboSource->currentIndex(), 1);
    dialog.cmboSource->setCurrentIndex(2);
    dialog.cmdSelect->click();
    EXPECT_EQ(window.driverIndex(), 2);
    EXPECT_EQ(resized, 1);
}

TEST_F(CaptureUiTest, FormatSourceAndCompressionDialogsChangeTheWindow)
{
    ASSERT_TRUE(capDriverConnect(&window, 0));
    VideoFormatDialog format(window);
    ASSERT_EQ(format.cmboSize->count(), 3);
    format.cmboSize->setCurrentIndex(1);
    pressOk(format);
    EXPECT_EQ(window.frameSize(), QSize(320, 240));

    VideoSourceDialog source(window);
    auto* period = qobject_cast<QSpinBox*>(source.editorFor(DemoDriver::kIntruderPeriod));
    ASSERT_NE(period, nullptr);
    period->setValue(10);
    pressOk(source);
    EXPECT_EQ(qobject_cast<QSpinBox*>(VideoSourceDialog(window).editorFor(DemoDriver::kIntruderPeriod))->value(), 10);

    VideoCompressionDialog compression(window);
    compression.txtQuality->setValue(40);
    pressOk(compression);
    EXPECT_EQ(window.compression().quality, 40);
}

TEST_F(CaptureUiTest, PreviewFollowsFramesWhileOnAndSeenAndFreezesOtherwise)
{
    // Every frame from its own scene time, so consecutive frames always differ.
    auto sceneMs = std::make_shared<std::atomic<int64_t>>(0);
    setDemoSceneClock([sceneMs] { return sceneMs->fetch_add(1000); });
    CapturePreview preview;
    preview.resize(320, 240);
    preview.show();
    ASSERT_TRUE(capDriverConnect(&window, 0));
    ASSERT_TRUE(capPreview(&window, true));
    const auto nextFrame = [this] {
        uint64_t number = 0;
        window.latestFrame(&number);
        ASSERT_TRUE(window.waitForFrameAfter(number, 5s));
    };
    nextFrame();
    preview.refresh();
    const QImage first = preview.shownPicture();
    ASSERT_FALSE(first.isNull());

    ASSERT_TRUE(capGrabFrame(&window));  // stops the preview
    nextFrame();
    preview.refresh();
    EXPECT_EQ(preview.shownPicture(), first);

    ASSERT_TRUE(capPreview(&window, true));
    preview.hide();
    preview.refresh();
    EXPECT_EQ(preview.shownPicture(), first) << "a hidden preview takes no frame";
    preview.show();
    preview.refresh();
    EXPECT_NE(preview.shownPicture(), first);
    setDemoSceneClock({});
}

TEST_F(CaptureUiTest, PreviewFillsTheWidgetWhenScalingAndLeavesTheRestBlackOtherwise)
{
    setDemoSceneClock([] { return int64_t{1000}; });
    CapturePreview preview;
    preview.resize(800, 600);
    preview.show();
    ASSERT_TRUE(capDriverConnect(&window, 0));
    ASSERT_TRUE(window.setFrameSize(QSize(320, 240)));
    ASSERT_TRUE(window.waitForFrameAfter(0, 5s));
    ASSERT_TRUE(capPreview(&window, true));
    for (const bool scale : {true, false}) {
        SCOPED_TRACE(scale);
        ASSERT_TRUE(capPreviewScale(&window, scale));
        uint64_t number = 0;
        window.latestFrame(&number);
        ASSERT_TRUE(window.waitForFrameAfter(number, 5s));
        preview.refresh();
        const QImage shown = preview.grab().toImage();
        EXPECT_NEAR(qGray(shown.pixel(5, 5)), qGray(window.latestFrame().pixel(5, 5)), 12);
        // Beyond the frame's own size: the room when scaled, else black.
        EXPECT_EQ(shown.pixel(700, 500) == qRgb(0, 0, 0), !scale);
    }
    setDemoSceneClock({});
}

}  // namespace

#include "capture/CaptureDialogs.h"

#include "capture/CaptureDialogProvider.h"
#include "capture/CaptureWindow.h"
#include "capture/VideoCompressionDialog.h"
#include "capture/VideoFormatDialog.h"
#include "capture/VideoSourceDialog.h"

#include <QApplication>

namespace {

template <typename Dialog>
bool showModal(CaptureWindow& window)
{
    Dialog dialog(window, QApplication::activeWindow());
    dialog.exec();
    return true;
}

class QtCaptureDialogs : public CaptureDialogProvider {
public:
    bool showVideoFormat(CaptureWindow& window) override { return showModal<VideoFormatDialog>(window); }
    bool showVideoSource(CaptureWindow& window) override { return showModal<VideoSourceDialog>(window); }
    bool showVideoCompression(CaptureWindow& window) override { return showModal<VideoCompressionDialog>(window); }
};

}  // namespace

void installCaptureDialogs(CaptureWindow* window)
{
    if (window)
        window->setDialogProvider(std::make_shared<QtCaptureDialogs>());
}

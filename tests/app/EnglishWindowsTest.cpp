// Shown in English, no window or dialog keeps a Japanese character in what it
// shows: a text left out of the translation, or looked up under another context
// than lupdate gave it, shows here.
#include "tests/app/AppTestSupport.h"

#include "app/frmAbout.h"
#include "app/frmExt.h"
#include "capture/VideoCompressionDialog.h"
#include "capture/VideoFormatDialog.h"
#include "capture/VideoSourceDialog.h"
#include "capture/frmSelect.h"
#include "detect/frmMask.h"
#include "history/frmHistory.h"
#include "mail/frmMail.h"
#include "mail/frmMailSend.h"
#include "mail/frmMailSend_Set.h"
#include "settings/AppPaths.h"
#include "sound/frmSound.h"
#include "tests/support/TestLanguage.h"
#include "upload/frmFtp.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QRegularExpression>

namespace {

// Every text `window` shows: captions, titles, tooltips, menus, list items and headers.
QStringList shownTexts(QWidget& window)
{
    QStringList texts;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        // Each widget answers for the texts its class has; the rest read as empty.
        for (const char* property : {"windowTitle", "toolTip", "statusTip", "text", "title", "placeholderText", "prefix",
                                     "suffix", "specialValueText"})
            texts << widget->property(property).toString();
        // The language list names each language in its own, so anyone finds theirs.
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->objectName() != "cmboLang")
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        if (auto* view = qobject_cast<QAbstractItemView*>(widget); view != nullptr && view->model() != nullptr)
            for (int column = 0; column < view->model()->columnCount(); ++column)
                texts << view->model()->headerData(column, Qt::Horizontal).toString();
    }
    for (QAction* action : window.findChildren<QAction*>())
        texts << action->text() << action->toolTip();
    return texts;
}

// The texts of `window` that hold a Japanese character, one line each; "" when none does.
std::string japaneseIn(QWidget& window)
{
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return shownTexts(window).filter(japanese).join(u'\n').toStdString();
}

}  // namespace

class EnglishWindowsTest : public MainWindowFixture {};

TEST_F(EnglishWindowsTest, EveryWindowAndDialogShowsOnlyEnglish)
{
    useTestLanguage("en");
    startWindow();
    tickAt(kCalm);
    EXPECT_EQ(japaneseIn(*window), "") << "the main window";

    QWidget* parent = window.get();
    const std::pair<const char*, std::function<QWidget*()>> dialogs[] = {
        {"about", [=] { return new frmAbout(parent); }},
        {"options", [=] { return new frmExt(parent); }},
        {"camera", [=] { return new frmSelect(parent); }},
        {"video format", [=] { return new VideoFormatDialog(*hCapWnd, parent); }},
        {"video source", [=] { return new VideoSourceDialog(*hCapWnd, parent); }},
        {"video compression", [=] { return new VideoCompressionDialog(*hCapWnd, parent); }},
        {"mask", [=] { return new frmMask(hCapWnd, parent); }},
        {"mail account", [=] { return new frmMail(parent); }},
        {"automatic mail", [=] { return new frmMailSend_Set(parent); }},
        {"snapshot mail", [=] { return new frmMailSend(parent); }},
        {"clips", [=] { return new frmFtp(parent); }},
        {"sound", [=] { return new frmSound(parent); }},
        {"history", [=] { return new frmHistory(appFilePath(QStringLiteral("history.log")), {}, parent); }},
    };
    for (const auto& [name, make] : dialogs) {
        const std::unique_ptr<QWidget> dialog(make());
        dialog->show();
        EXPECT_EQ(japaneseIn(*dialog), "") << name;
    }
}

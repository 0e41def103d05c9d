#include "capture/VideoSourceDialog.h"

#include "capture/CaptureWindow.h"
#include "capture/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

VideoSourceDialog::VideoSourceDialog(CaptureWindow& window, QWidget* parent) : QDialog(parent), window_(window)
{
    setWindowTitle(tr("ﾋﾞﾃﾞｵｿｰｽ"));
    auto* layout = new QFormLayout(this);
    for (const CaptureControl& control : window.controls()) {
        editors_.push_back(makeEditor(control));
        layout->addRow(control.name, editors_.back().widget);
    }
    if (editors_.empty())
        layout->addRow(new QLabel(tr("調整できる項目はありません。"), this));
    layout->addRow(addDialogButtons(this, [this] { apply(); }));
}

VideoSourceDialog::Editor VideoSourceDialog::makeEditor(const CaptureControl& control)
{
    switch (control.kind) {
    case CaptureControl::Kind::Boolean: {
        auto* box = new QCheckBox(this);
        box->setChecked(control.value != 0);
        return {control, box, [box] { return box->isChecked() ? 1 : 0; }};
    }
    case CaptureControl::Kind::Menu: {
        auto* list = new QComboBox(this);
        for (int i = 0; i < control.menuItems.size(); ++i) {
            if (control.menuItems[i].isEmpty())
                continue;  // a value the device does not offer
            list->addItem(control.menuItems[i], control.minimum + i);
            if (control.minimum + i == control.value)
                list->setCurrentIndex(list->count() - 1);
        }
        const int unchanged = control.value;
        return {control, list, [list, unchanged] { return list->currentIndex() >= 0 ? list->currentData().toInt() : unchanged; }};
    }
    case CaptureControl::Kind::Integer:
        break;
    }
    auto* number = new QSpinBox(this);
    number->setRange(control.minimum, control.maximum);
    number->setSingleStep(control.step);
    number->setValue(control.value);
    return {control, number, [number] { return number->value(); }};
}

QWidget* VideoSourceDialog::editorFor(uint32_t id) const
{
    for (const Editor& editor : editors_) {
        if (editor.control.id == id)
            return editor.widget;
    }
    return nullptr;
}

void VideoSourceDialog::apply()
{
    for (const Editor& editor : editors_) {
        const int value = editor.value();
        if (value != editor.control.value)
            window_.setControl(editor.control.id, value);
    }
}

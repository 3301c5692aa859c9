#include "meterdesk/ui/factory/usb_ee_boxes.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

using namespace settings_widgets;

namespace {

QGroupBox *group(const QString &title, QWidget *content) {
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

UsbEeViewerBox::UsbEeViewerBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    namespace ids = usb_ee_viewer_box;
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setModal(true);
    auto *list = named(new QListWidget, ids::kList);
    list->setMinimumSize(380, 380);
    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    close->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addLayout(buttons);
    forward_clicks(*this, controls_, std::array<int, 1>{ids::kClose}, [this](int id) {
        if (logic_.clicked(controls_, id) == DialogAction::kClose) accept();
    });
}

bool UsbEeViewerBox::load() {
    return logic_.open(controls_);
}

int UsbEeViewerBox::run() {
    return load() ? exec() : QDialog::Rejected;
}

UsbEeProgBox::UsbEeProgBox(AppState &state, Ui &ui, rfsense::link::Bus &bus, QWidget *owner)
    : QDialog(owner), state_(state), ui_(ui), logic_(state, ui, bus), controls_(*this) {
    namespace ids = usb_ee_prog_box;
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setModal(true);

    auto *serial = edit(ids::kSerialEdit, 18);
    serial->setMaxLength(15);
    auto *manufacturer = edit(ids::kManufacturerEdit, 18);
    manufacturer->setReadOnly(true);
    auto *descriptions = named(new QComboBox, ids::kDescriptionList);
    descriptions->setMinimumContentsLength(26);
    forward_choice(*this, descriptions, ids::kDescriptionList,
                   [this](int) { logic_.description_chosen(controls_); });

    auto *fields = new QHBoxLayout;
    fields->addWidget(group(tr("Serial Number Entry"), serial));
    fields->addWidget(group(tr("Manufacturer"), manufacturer));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group(tr("Description"), descriptions));
    layout->addWidget(named(new QCheckBox(tr("Zyn Quorix")), ids::kZynLabel));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<std::pair<const char *, int>, 4> texts = {{{"Program", ids::kProgram},
                                                                {"Read", ids::kRead},
                                                                {"Help", ids::kHelp},
                                                                {"Cancel", ids::kCancel}}};
    for (const auto &[text, id] : texts) {
        auto *button = named(new QPushButton(QString::fromUtf8(text)), id);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    forward_clicks(*this, controls_,
                   std::array<int, 4>{ids::kZynLabel, ids::kProgram, ids::kRead, ids::kCancel},
                   [this](int id) { clicked(id); });
}

int UsbEeProgBox::run() {
    logic_.open(controls_);
    return exec();
}

void UsbEeProgBox::clicked(int id) {
    if (id == usb_ee_prog_box::kRead) {
        UsbEeViewerBox viewer(state_, ui_, this);
        viewer.run();
        return;
    }
    if (logic_.clicked(controls_, id) == DialogAction::kClose) accept();
}

} // namespace meterdesk::ui

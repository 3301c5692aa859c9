#include "meterdesk/ui/factory/pic_flash_program_box.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

using namespace settings_widgets;
namespace ids = pic_flash_box;

PicFlashProgramBox::PicFlashProgramBox(AppState &state, Ui &ui, FlashProgrammer &programmer,
                                       QWidget *owner)
    : QDialog(owner), logic_(state, ui, programmer), controls_(*this) {
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setModal(true);

    auto *file = edit(ids::kHexFileEdit, 40);
    file->setReadOnly(true);
    file->setAlignment(Qt::AlignLeft);
    auto *file_group = new QGroupBox(tr("Hex File (Firmware)"));
    auto *file_layout = new QHBoxLayout(file_group);
    file_layout->addWidget(file);
    auto *select = named(new QPushButton(tr("Select File")), ids::kSelectFile);
    file_layout->addWidget(select);

    auto *identity = edit(ids::kProgrammerId, 24);
    identity->setReadOnly(true);
    auto *identity_row = new QHBoxLayout;
    identity_row->addWidget(label(tr("Programmer ID")));
    identity_row->addWidget(identity);
    identity_row->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<std::pair<const char *, int>, 4> texts = {{{"Program", ids::kProgram},
                                                                {"VERIFY", ids::kVerify},
                                                                {"Help", ids::kHelp},
                                                                {"Cancel", ids::kCancel}}};
    for (const auto &[text, id] : texts) {
        auto *button = named(new QPushButton(QString::fromUtf8(text)), id);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(file_group);
    layout->addLayout(identity_row);
    layout->addLayout(buttons);
    forward_clicks(*this, controls_,
                   std::array<int, 3>{ids::kSelectFile, ids::kProgram, ids::kCancel},
                   [this](int id) {
                       if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
                   });
}

int PicFlashProgramBox::run() {
    logic_.open(controls_);
    return exec();
}

void PicFlashProgramBox::reject() {
    logic_.closed();
    QDialog::reject();
}

} // namespace meterdesk::ui

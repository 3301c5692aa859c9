#include "meterdesk/ui/settings/measurement_frequency_box.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <array>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace meterdesk::ui {

namespace ids = frequency_box;
using namespace settings_widgets;

MeasurementFrequencyBox::MeasurementFrequencyBox(AppState &state, Ui &ui,
                                                 std::function<void()> refresh_panel,
                                                 QWidget *owner)
    : QDialog(owner), logic_(state, ui, std::move(refresh_panel)), controls_(*this) {
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(true);

    auto *units = new QHBoxLayout;
    units->addWidget(edit(ids::kFrequencyEdit, 12));
    units->addWidget(named(new QCheckBox(tr("MHz")), ids::kMhz));
    units->addWidget(named(new QCheckBox(tr("GHz")), ids::kGhz));

    auto *apply = named(new QPushButton(tr("Apply")), ids::kApply);
    auto *cancel = named(new QPushButton(tr("Cancel")), ids::kCancel);
    apply->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(units);
    layout->addStretch();
    layout->addLayout(buttons);

    forward_clicks(*this, controls_,
                   std::array<int, 4>{ids::kMhz, ids::kGhz, ids::kApply, ids::kCancel},
                   [this](int id) { clicked(id); });
    // 159 x 86 dialog units of the 8-point dialog font.
    resize(240, 140);
}

int MeasurementFrequencyBox::run() {
    logic_.open(controls_);
    return exec();
}

void MeasurementFrequencyBox::refresh() {
    logic_.refresh(controls_);
}

void MeasurementFrequencyBox::reject() {
    logic_.closed();
    QDialog::reject();
}

void MeasurementFrequencyBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose)
        done(id == ids::kApply ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace meterdesk::ui

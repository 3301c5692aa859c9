#include "meterdesk/ui/trace/stats_control_box.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace meterdesk::ui {

namespace ids = stats_box;
using settings_widgets::named;

StatsControlBox::StatsControlBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    auto *samples = new QGroupBox(tr("Samples"));
    auto *samples_layout = new QVBoxLayout(samples);
    for (std::size_t i = 0; i < ids::kSampleRadios.size(); ++i)
        samples_layout->addWidget(
            named(new QRadioButton(QString::number(ids::kSampleCounts[i])), ids::kSampleRadios[i]));

    auto *bins = new QGroupBox(tr("Bins"));
    auto *bins_layout = new QVBoxLayout(bins);
    for (std::size_t i = 0; i < ids::kBinRadios.size(); ++i)
        bins_layout->addWidget(
            named(new QRadioButton(QString::number(ids::kBinCounts[i])), ids::kBinRadios[i]));
    bins_layout->addStretch();

    auto *mode = new QGroupBox(tr("Mode"));
    auto *mode_layout = new QVBoxLayout(mode);
    mode_layout->addWidget(named(new QRadioButton(tr("Log Power")), ids::kLogPower));
    mode_layout->addWidget(named(new QRadioButton(tr("Linear Power")), ids::kLinearPower));
    mode_layout->addWidget(named(new QRadioButton(tr("Volts")), ids::kVolts));
    mode_layout->addWidget(named(new QCheckBox(tr("Subtract Zero")), ids::kSubtractZero));
    mode_layout->addStretch();

    auto *groups = new QHBoxLayout;
    groups->addWidget(samples);
    groups->addWidget(bins);
    groups->addWidget(mode);

    auto *save = named(new QCheckBox(tr("Save data to file")), ids::kSaveToFile);
    auto *start = named(new QPushButton(tr("Start")), ids::kStart);
    auto *redraw = named(new QPushButton(tr("Redraw")), ids::kRedraw);
    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    start->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(start);
    buttons->addWidget(redraw);
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(save);
    layout->addStretch();
    layout->addLayout(buttons);

    std::vector<int> clickable(ids::kAllControls.begin(), ids::kAllControls.end());
    clickable.push_back(ids::kClose);
    settings_widgets::forward_clicks(*this, controls_, clickable, [this](int id) { clicked(id); });
    // 200 x 150 dialog units of the 8-point dialog font.
    resize(300, 244);
}

void StatsControlBox::open_panel() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void StatsControlBox::reject() {
    clicked(ids::kClose);
}

void StatsControlBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject(); // hides
}

} // namespace meterdesk::ui

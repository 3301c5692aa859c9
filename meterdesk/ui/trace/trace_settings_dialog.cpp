#include "meterdesk/ui/trace/trace_settings_dialog.h"

#include "meterdesk/trace/trace_scaling.h"
#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace meterdesk::ui {

using namespace settings_widgets;
using namespace trace_ids;

TraceSettingsDialog::TraceSettingsDialog(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), controls_(*this), logic_(state, ui, controls_) {
    setWindowTitle(tr("Trace Settings"));
    setObjectName(QStringLiteral("TraceSettingsBox"));
    setModal(true);

    auto *level = new QGroupBox(tr("Level scaling"));
    auto *level_grid = new QGridLayout(level);
    level_grid->addWidget(named(new QCheckBox(tr("Auto")), kAuto), 0, 0, 1, 2);
    level_grid->addWidget(label(tr("Min")), 1, 0);
    level_grid->addWidget(edit(kPlotMin, 10), 1, 1);
    level_grid->addWidget(label(tr("Max")), 2, 0);
    level_grid->addWidget(edit(kPlotMax, 10), 2, 1);

    auto *temperature = new QGroupBox;
    auto *temp_grid = new QGridLayout(temperature);
    temp_grid->addWidget(label(QString(), kTemperatureLabel), 0, 0, 1, 2);
    temp_grid->addWidget(named(new QCheckBox(tr("Sensor")), kSensor), 1, 0);
    temp_grid->addWidget(named(new QCheckBox(tr("Auto scale")), kTempAutoScale), 1, 1);
    temp_grid->addWidget(label(tr("Min")), 2, 0);
    temp_grid->addWidget(edit(kTempMin, 6), 2, 1);
    temp_grid->addWidget(label(tr("Max")), 3, 0);
    temp_grid->addWidget(edit(kTempMax, 6), 3, 1);

    auto *apply = named(new QPushButton(tr("Apply")), kApply);
    apply->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(named(new QPushButton(tr("Close")), kSettingsClose));

    auto *top = new QGridLayout(this);
    top->addWidget(level, 0, 0);
    top->addWidget(temperature, 0, 1);
    top->addLayout(buttons, 1, 0, 1, 2);

    forward_clicks(*this, controls_, TraceSettingsBox::control_ids(),
                   [this](int id) { clicked(id); });
}

int TraceSettingsDialog::run() {
    logic_.initialise();
    return exec();
}

void TraceSettingsDialog::clicked(int id) {
    if (logic_.command(id) == DialogAction::kClose)
        done(id == kApply ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace meterdesk::ui

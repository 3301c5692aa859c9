#include "meterdesk/ui/trace/trace_panel.h"

#include "meterdesk/trace/trace_scaling.h"
#include "meterdesk/ui/settings/dialog_widgets.h"
#include "meterdesk/ui/trace/scale_groups.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace meterdesk::ui {

using namespace settings_widgets;
using namespace trace_ids;

TracePanel::TracePanel(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), controls_(*this), logic_(state, ui, controls_) {
    setWindowTitle(tr("Trace Control"));
    setObjectName(QString::fromUtf8(kTraceBoxName));
    setModal(false);

    auto *acquisition = new QGroupBox(tr("Acquisition"));
    auto *grid = new QGridLayout(acquisition);
    grid->addWidget(label(tr("Samples")), 0, 0);
    grid->addWidget(edit(kSamples, 6), 0, 1);
    grid->addWidget(label(tr("Sample period")), 1, 0);
    grid->addWidget(edit(kPeriod, 6), 1, 1);
    auto *period_units = new QHBoxLayout;
    period_units->addWidget(named(new QRadioButton(tr("seconds")), kSeconds));
    period_units->addWidget(named(new QRadioButton(tr("minutes")), kMinutes));
    grid->addLayout(period_units, 2, 0, 1, 2);

    auto *units = new QGroupBox(tr("Units"));
    auto *unit_column = new QVBoxLayout(units);
    unit_column->addWidget(named(new QRadioButton(tr("Sensor volts")), kVolts));
    unit_column->addWidget(named(new QRadioButton(tr("Power linear (mW)")), kLinear));
    unit_column->addWidget(named(new QRadioButton(tr("Power log (dBm)")), kLog));

    auto *level = level_scaling_group();
    auto *temperature = temperature_scaling_group();

    auto *buttons = new QGridLayout;
    const std::pair<int, const char *> button_texts[] = {{kStart, "Start"},
                                                         {kRedraw, "Redraw"},
                                                         {kSaveTrace, "Save Trace"},
                                                         {kSaveData, "Save Data"},
                                                         {kRecallTrace, "Recall Trace"},
                                                         {kClose, "Close"}};
    int index = 0;
    for (const auto &[id, text] : button_texts) {
        buttons->addWidget(named(new QPushButton(tr(text)), id), index / 2, index % 2);
        ++index;
    }

    auto *top = new QGridLayout(this);
    top->addWidget(acquisition, 0, 0);
    top->addWidget(units, 0, 1);
    top->addWidget(level, 1, 0);
    top->addWidget(temperature, 1, 1);
    top->addLayout(buttons, 2, 0, 1, 2);

    forward_clicks(*this, controls_, TraceBox::control_ids(), [this](int id) { clicked(id); });
}

void TracePanel::open_panel() {
    logic_.initialise();
    show();
    raise();
    activateWindow();
}

void TracePanel::refresh() {
    if (isVisible()) logic_.initialise();
}

void TracePanel::reject() {
    clicked(kClose);
}

void TracePanel::clicked(int id) {
    if (logic_.command(id) == DialogAction::kClose) QDialog::reject(); // hides
}

} // namespace meterdesk::ui

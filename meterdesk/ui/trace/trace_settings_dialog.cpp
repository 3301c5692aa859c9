#include "meterdesk/ui/trace/trace_settings_dialog.h"

#include "meterdesk/trace/trace_scaling.h"
#include "meterdesk/ui/settings/dialog_widgets.h"
#include "meterdesk/ui/trace/scale_groups.h"

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

    auto *level = level_scaling_group();
    auto *temperature = temperature_scaling_group();

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

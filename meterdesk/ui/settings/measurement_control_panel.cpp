#include "meterdesk/ui/settings/measurement_control_panel.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace meterdesk::ui {

namespace ids = control_panel;
using namespace settings_widgets;

namespace {

QRadioButton *radio(const QString &text, int id) {
    return named(new QRadioButton(text), id);
}
QCheckBox *check(const QString &text, int id) {
    return named(new QCheckBox(text), id);
}
QPushButton *button(const QString &text, int id) {
    return named(new QPushButton(text), id);
}
QComboBox *unit_list(int id) {
    auto *list = named(new QComboBox, id);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

// An edit with a fixed text behind it ("%").
QWidget *with_suffix(QWidget *edit, const QString &suffix) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(suffix));
    return row;
}

QGroupBox *mode_group() {
    auto *group = new QGroupBox(QObject::tr("Measurement Mode"));
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(radio(QObject::tr("Volts"), ids::kVolts));
    layout->addWidget(radio(QObject::tr("Linear Power (Watts)"), ids::kLinear));
    layout->addWidget(radio(QObject::tr("Log Power(dBm)"), ids::kLog));
    layout->addWidget(radio(QObject::tr("Temperature"), ids::kTemperature));
    return group;
}

QGroupBox *resolution_group() {
    auto *group = new QGroupBox(QObject::tr("Measurement Resolution"));
    auto *layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QObject::tr("Decimal Places")), 0, 0, 1, 2);
    layout->addWidget(radio(QObject::tr("None"), 1284), 1, 0);
    layout->addWidget(radio(QObject::tr("One"), 1285), 1, 1);
    layout->addWidget(radio(QObject::tr("Two"), 1286), 2, 0);
    layout->addWidget(radio(QObject::tr("Three"), 1287), 2, 1);
    return group;
}

QGroupBox *frequency_group() {
    auto *group = new QGroupBox(QObject::tr("Measurement Frequency"));
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(edit(ids::kFrequencyEdit));
    layout->addWidget(check(QObject::tr("MHz"), ids::kMhz));
    layout->addWidget(check(QObject::tr("GHz"), ids::kGhz));
    return group;
}

QGroupBox *cal_factor_group() {
    auto *group = new QGroupBox(QObject::tr("Calibration Factor"));
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(with_suffix(edit(ids::kCalFactorEdit), QStringLiteral("%")));
    layout->addWidget(check(QObject::tr("Use Table"), ids::kUseTable));
    return group;
}

QGroupBox *offset_group() {
    // The caption follows the mode ("Measurement Offset (dB)", "Measurement Multiplier").
    auto *group = named(new QGroupBox(QObject::tr("Measurement Offset (dB)")), ids::kOffsetGroup);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(edit(ids::kOffsetEdit, 10));
    layout->addWidget(check(QObject::tr("Enable"), ids::kOffsetEnable));
    return group;
}

QGroupBox *duty_group() {
    auto *group = new QGroupBox(QObject::tr("Duty Cycle "));
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(with_suffix(edit(ids::kDutyEdit), QStringLiteral("%")));
    layout->addWidget(check(QObject::tr("Enable"), ids::kDutyEnable));
    return group;
}

QGroupBox *relative_group() {
    auto *group = new QGroupBox(QObject::tr("Relative Measurement Mode"));
    auto *layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QObject::tr("Manual")), 0, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QObject::tr("Auto")), 0, 1, Qt::AlignHCenter);
    layout->addWidget(edit(ids::kRelativeEdit), 1, 0);
    layout->addWidget(button(QObject::tr("Set"), ids::kRelativeSet), 1, 1);
    layout->addWidget(label(QStringLiteral("(dBm)"), ids::kRelativeUnitLabel), 2, 0,
                      Qt::AlignHCenter);
    layout->addWidget(check(QObject::tr("Enable"), ids::kRelativeEnable), 3, 0);
    layout->addWidget(check(QObject::tr("Auto Set"), ids::kRelativeAutoSet), 3, 1);
    // "Max && Min": Qt shows the doubled ampersand as one, as the resource means.
    auto *maxmin = new QGroupBox(QObject::tr("Max && Min"));
    auto *maxmin_layout = new QHBoxLayout(maxmin);
    maxmin_layout->addWidget(check(QObject::tr("Record"), ids::kMaxMinRecord));
    maxmin_layout->addWidget(button(QObject::tr("Clear"), ids::kMaxMinClear));
    layout->addWidget(maxmin, 4, 0, 1, 2);
    return group;
}

QGroupBox *limits_group() {
    auto *group = new QGroupBox(QObject::tr("Limits"));
    auto *layout = new QGridLayout(group);
    layout->addWidget(label(QStringLiteral("Low (dBm)"), ids::kLowLimitLabel), 0, 0,
                      Qt::AlignHCenter);
    layout->addWidget(label(QStringLiteral("High (dBm)"), ids::kHighLimitLabel), 0, 1,
                      Qt::AlignHCenter);
    layout->addWidget(edit(ids::kLowLimitEdit), 1, 0);
    layout->addWidget(edit(ids::kHighLimitEdit), 1, 1);
    layout->addWidget(check(QObject::tr("Beep"), ids::kLimitsBeep), 2, 0);
    layout->addWidget(check(QObject::tr("Enable"), ids::kLimitsEnable), 2, 1);
    layout->addWidget(label(QObject::tr("Linear Units"), ids::kLimitsUnitLabel), 3, 0);
    layout->addWidget(unit_list(ids::kLimitsUnitList), 3, 1);
    return group;
}

QGroupBox *display_group() {
    auto *group = new QGroupBox(QObject::tr("Display Setup"));
    auto *layout = new QHBoxLayout(group);

    auto *measurement = new QGroupBox(QObject::tr("Measurement"));
    auto *measurement_layout = new QVBoxLayout(measurement);
    measurement_layout->addWidget(radio(QObject::tr("Numeric"), ids::kNumeric));
    measurement_layout->addWidget(radio(QObject::tr("Meter"), ids::kMeter));
    measurement_layout->addWidget(radio(QObject::tr("Both"), ids::kBoth));
    auto *info = new QGroupBox(QObject::tr("Info"));
    auto *info_layout = new QVBoxLayout(info);
    info_layout->addWidget(check(QObject::tr("Show"), ids::kInfoShow));
    auto *left = new QVBoxLayout;
    left->addWidget(measurement);
    left->addWidget(info);

    auto *scaling = new QGroupBox(QObject::tr("Meter Scaling"));
    auto *scaling_layout = new QGridLayout(scaling);
    scaling_layout->addWidget(check(QObject::tr("Auto"), ids::kMeterAuto), 0, 0, 1, 2);
    scaling_layout->addWidget(label(QStringLiteral("Min (dBm)"), ids::kMeterMinLabel), 1, 0,
                              Qt::AlignHCenter);
    scaling_layout->addWidget(label(QStringLiteral("Max (dBm)"), ids::kMeterMaxLabel), 1, 1,
                              Qt::AlignHCenter);
    scaling_layout->addWidget(edit(ids::kMeterMinEdit), 2, 0);
    scaling_layout->addWidget(edit(ids::kMeterMaxEdit), 2, 1);
    scaling_layout->addWidget(label(QObject::tr("Linear Units"), ids::kMeterUnitLabel), 3, 0);
    scaling_layout->addWidget(unit_list(ids::kMeterUnitList), 3, 1);

    layout->addLayout(left);
    layout->addWidget(scaling);
    return group;
}

} // namespace

MeasurementControlPanel::MeasurementControlPanel(AppState &state, Ui &ui, ControlPanelLinks links,
                                                 QWidget *owner)
    : QDialog(owner), logic_(state, ui, std::move(links)), controls_(*this) {
    setWindowTitle(QStringLiteral("Measurement Control Panel"));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    // The groups are made in the order the keyboard visits them.
    auto *first = new QVBoxLayout;
    first->addWidget(mode_group());
    first->addWidget(resolution_group());
    first->addStretch();
    auto *second = new QVBoxLayout;
    second->addWidget(frequency_group());
    second->addWidget(cal_factor_group());
    second->addWidget(offset_group());
    second->addWidget(duty_group());
    second->addStretch();
    auto *third = new QVBoxLayout;
    third->addWidget(relative_group());
    third->addWidget(limits_group());
    third->addStretch();
    auto *fourth = new QVBoxLayout;
    fourth->addWidget(display_group());
    fourth->addStretch();

    auto *apply = button(tr("Apply"), ids::kApply);
    auto *close = button(tr("Close"), ids::kClose);
    auto *help = button(tr("Help"), ids::kHelp);
    apply->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(close);
    buttons->addWidget(help);
    fourth->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(first);
    layout->addLayout(second);
    layout->addLayout(third);
    layout->addLayout(fourth);

    forward_clicks(*this, controls_, ids::kAllControls, [this](int id) { clicked(id); });
    for (const int id : {ids::kMeterUnitList, ids::kLimitsUnitList}) {
        forward_choice(*this, qobject_cast<QComboBox *>(controls_.widget(id)), id,
                       [this](int list) { logic_.selection_changed(controls_, list); });
    }
}

void MeasurementControlPanel::open_panel() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void MeasurementControlPanel::command(int command) {
    logic_.command(controls_, command);
}

void MeasurementControlPanel::reject() {
    clicked(ids::kClose);
}

void MeasurementControlPanel::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject(); // hides
}

} // namespace meterdesk::ui

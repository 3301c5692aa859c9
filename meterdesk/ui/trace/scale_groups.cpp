#include "meterdesk/ui/trace/scale_groups.h"

#include "meterdesk/trace/trace_scaling.h"
#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>

namespace meterdesk::ui {

using namespace settings_widgets;
using namespace trace_ids;

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("TraceScaling", text);
}

} // namespace

QGroupBox *level_scaling_group() {
    auto *level = new QGroupBox(tr("Level scaling"));
    auto *grid = new QGridLayout(level);
    grid->addWidget(named(new QCheckBox(tr("Auto")), kAuto), 0, 0, 1, 2);
    grid->addWidget(label(tr("Min")), 1, 0);
    grid->addWidget(edit(kPlotMin, 10), 1, 1);
    grid->addWidget(label(tr("Max")), 2, 0);
    grid->addWidget(edit(kPlotMax, 10), 2, 1);
    return level;
}

QGroupBox *temperature_scaling_group() {
    auto *temperature = new QGroupBox;
    auto *grid = new QGridLayout(temperature);
    grid->addWidget(label(QString(), kTemperatureLabel), 0, 0, 1, 2);
    grid->addWidget(named(new QCheckBox(tr("Sensor")), kSensor), 1, 0);
    grid->addWidget(named(new QCheckBox(tr("Auto scale")), kTempAutoScale), 1, 1);
    grid->addWidget(label(tr("Min")), 2, 0);
    grid->addWidget(edit(kTempMin, 6), 2, 1);
    grid->addWidget(label(tr("Max")), 3, 0);
    grid->addWidget(edit(kTempMax, 6), 3, 1);
    return temperature;
}

} // namespace meterdesk::ui

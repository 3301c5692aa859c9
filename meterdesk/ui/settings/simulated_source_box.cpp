#include "meterdesk/ui/settings/simulated_source_box.h"

#include "meterdesk/ui/main_window.h"
#include "meterdesk/ui/panel_registry.h"
#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

namespace ids = simulated_source;
using namespace settings_widgets;

SimulatedSourceBox::SimulatedSourceBox(const AppState &state, QWidget *owner)
    : QDialog(owner), logic_(state), controls_(*this) {
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    auto *devices = named(new QListWidget, ids::kDevices);
    devices->setMaximumHeight(70);

    auto *bar = named(new QScrollBar(Qt::Horizontal), ids::kPowerBar);
    bar->setMinimumWidth(220);
    auto *power_row = new QHBoxLayout;
    power_row->addWidget(bar, 1);
    power_row->addWidget(edit(ids::kPowerEdit, 8));
    power_row->addWidget(new QLabel(tr("dBm")));
    power_row->addWidget(named(new QCheckBox(tr("RF off")), ids::kRfOff));

    auto *frequency_row = new QHBoxLayout;
    frequency_row->addWidget(edit(ids::kFrequencyEdit, 10));
    frequency_row->addWidget(named(new QComboBox, ids::kFrequencyUnit));
    frequency_row->addStretch();

    const auto with_unit = [](QWidget *box, int unit_id) {
        auto *row = new QHBoxLayout;
        row->addWidget(box);
        auto *unit = new QLabel;
        unit->setObjectName(control_name(unit_id));
        row->addWidget(unit);
        row->addStretch();
        return row;
    };
    auto *noise_row = new QHBoxLayout;
    noise_row->addWidget(edit(ids::kNoiseEdit, 8));
    noise_row->addWidget(new QLabel(tr("uV RMS")));
    noise_row->addStretch();

    auto *note = label(QString(), ids::kFrequencyNote);
    note->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(tr("Applied power"), power_row);
    form->addRow(tr("Frequency"), frequency_row);
    form->addRow(QString(), note);
    form->addRow(tr("Sensor temperature"),
                 with_unit(edit(ids::kTemperatureEdit, 8), ids::kTemperatureUnit));
    form->addRow(tr("Air temperature"),
                 with_unit(edit(ids::kAirTemperatureEdit, 8), ids::kAirTemperatureUnit));
    form->addRow(tr("Noise"), noise_row);

    auto *flags = new QHBoxLayout;
    flags->addWidget(named(new QCheckBox(tr("Plugged in")), ids::kPlugged));
    flags->addWidget(named(new QCheckBox(tr("Not responding")), ids::kSilent));
    flags->addStretch();

    auto *status = label(QString(), ids::kStatus);
    status->setWordWrap(true);
    status->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0)"));
    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(status, 1);
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(devices);
    layout->addLayout(form);
    layout->addLayout(flags);
    layout->addStretch();
    layout->addLayout(bottom);

    forward_clicks(*this, controls_,
                   std::array<int, 4>{ids::kRfOff, ids::kPlugged, ids::kSilent, ids::kClose},
                   [this](int id) { clicked(id); });
    connect(devices, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != logic_.device()) clicked(ids::kDevices);
    });
    forward_choice(*this, qobject_cast<QComboBox *>(controls_.widget(ids::kFrequencyUnit)),
                   ids::kFrequencyUnit, [this](int id) { clicked(id); });
    for (int id : {ids::kPowerEdit, ids::kFrequencyEdit, ids::kTemperatureEdit,
                   ids::kAirTemperatureEdit, ids::kNoiseEdit}) {
        auto *box = qobject_cast<QLineEdit *>(controls_.widget(id));
        connect(box, &QLineEdit::editingFinished, this,
                [this, id] { logic_.edited(controls_, id); });
    }
    forward_scroll(*this, qobject_cast<QAbstractSlider *>(controls_.widget(ids::kPowerBar)),
                   ids::kPowerBar, [this](int id, ScrollAction action, int drag) {
                       logic_.scrolled(controls_, id, action, drag);
                   });
    resize(480, 380);
}

void SimulatedSourceBox::open_panel() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void SimulatedSourceBox::reject() {
    QDialog::reject(); // hides
}

void SimulatedSourceBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
}

void register_simulated_source(PanelRegistry &panels, MainWindow &window, const AppState &state) {
    panels.add_panel(
        ids::kResourceName,
        {[&state](QWidget *owner) -> QWidget * { return new SimulatedSourceBox(state, owner); },
         [](QWidget &panel) {
             if (auto *box = dynamic_cast<SimulatedSourceBox *>(&panel)) box->open_panel();
         },
         {}});
    panels.add_dialog(ids::kCommand,
                      [&panels](QWidget *) { panels.show_panel(ids::kResourceName); });
    window.set_trailing_menu_entry("Simulated Source...", ids::kCommand);
}

} // namespace meterdesk::ui

#include "meterdesk/ui/app_settings_box.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace meterdesk::ui {

namespace ids = app_settings_box;

namespace {

template <typename Button>
Button *named(Button *button, int id) {
    button->setObjectName(control_name(id));
    return button;
}

} // namespace

AppSettingsBox::AppSettingsBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    auto *tune = named(new QCheckBox(tr("Play welcome tune\non start-up")), ids::kPlayWelcomeTune);

    auto *unit_group = new QGroupBox(tr("Temperature"));
    auto *celsius = named(new QRadioButton(tr("Celsius ('C)")), ids::kCelsius);
    auto *fahrenheit = named(new QRadioButton(tr("Fahrenheit ('F)")), ids::kFahrenheit);
    auto *unit_layout = new QVBoxLayout(unit_group);
    unit_layout->addWidget(celsius);
    unit_layout->addWidget(fahrenheit);

    auto *temp_comp =
        named(new QCheckBox(tr("Measurements\ntemperature\ncompensated")), ids::kTempComp);
    auto *confirm = named(new QCheckBox(tr("Confirm on Exit/Close")), ids::kConfirmExit);

    auto *apply = named(new QPushButton(tr("Apply")), ids::kApply);
    auto *cancel = named(new QPushButton(tr("Cancel")), ids::kCancel);
    apply->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tune);
    layout->addWidget(unit_group);
    layout->addWidget(temp_comp);
    layout->addWidget(confirm);
    layout->addStretch();
    layout->addLayout(buttons);

    for (const int id : {ids::kPlayWelcomeTune, ids::kCelsius, ids::kFahrenheit, ids::kTempComp,
                         ids::kConfirmExit, ids::kApply, ids::kCancel}) {
        auto *button = qobject_cast<QAbstractButton *>(controls_.widget(id));
        connect(button, &QAbstractButton::clicked, this, [this, id] { clicked(id); });
    }

    // 152 x 171 dialog units of the 8-point dialog font.
    resize(228, 278);
}

void AppSettingsBox::open_settings() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void AppSettingsBox::reject() {
    clicked(ids::kCancel);
}

void AppSettingsBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject(); // hides
}

} // namespace meterdesk::ui

#include "meterdesk/ui/factory/calibration_boxes.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <vector>

namespace meterdesk::ui {

using namespace settings_widgets;

namespace {

// Common set-up of a modal factory dialog.
void set_up(QDialog &dialog, const char *resource_name, const char *caption) {
    dialog.setObjectName(QString::fromUtf8(resource_name));
    dialog.setWindowTitle(QString::fromUtf8(caption));
    dialog.setModal(true);
}

// A row of buttons at the right, the first the default.
QHBoxLayout *button_row(const std::vector<std::pair<const char *, int>> &buttons) {
    auto *row = new QHBoxLayout;
    row->addStretch();
    bool first = true;
    for (const auto &[text, id] : buttons) {
        auto *button = named(new QPushButton(QString::fromUtf8(text)), id);
        button->setAutoDefault(false);
        if (first) button->setDefault(true);
        first = false;
        row->addWidget(button);
    }
    return row;
}

QLineEdit *read_only(int id, int width_chars) {
    auto *field = edit(id, width_chars);
    field->setReadOnly(true);
    return field;
}

// Clicks go to the logic; a kClose ends the dialog.
template <typename Logic, std::size_t N>
void wire_clicks(QDialog &dialog, QtControls &controls, Logic &logic,
                 const std::array<int, N> &ids) {
    forward_clicks(dialog, controls, ids, [&dialog, &controls, &logic](int id) {
        if (logic.clicked(controls, id) == DialogAction::kClose) dialog.accept();
    });
}

} // namespace

DateStampsBox::DateStampsBox(AppState &state, QWidget *owner)
    : QDialog(owner), logic_(state), controls_(*this) {
    namespace ids = date_stamps_box;
    set_up(*this, ids::kResourceName, ids::kCaption);
    auto *form = new QFormLayout;
    form->addRow(tr("Equation done on"), read_only(ids::kEquationDate, 16));
    form->addRow(tr("Cal factor done on"), read_only(ids::kCalFactorDate, 16));
    form->addRow(tr("Temp Comp Data"), read_only(ids::kTempCompDate, 16));
    form->addRow(tr("Linearity corrections"), read_only(ids::kLinearityDate, 16));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(button_row({{"Close", ids::kClose}}));
    wire_clicks(*this, controls_, logic_, std::array<int, 1>{ids::kClose});
}

int DateStampsBox::run() {
    logic_.open(controls_);
    return exec();
}

DiodeSerialNumberBox::DiodeSerialNumberBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    namespace ids = diode_serial_box;
    set_up(*this, ids::kResourceName, ids::kCaption);
    auto *form = new QFormLayout;
    form->addRow(tr("Diode Serial Number"), edit(ids::kSerialEdit, 12));
    form->addRow(tr("Diode K-Factor"), edit(ids::kKFactorEdit, 12));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(button_row({{"Enter", ids::kEnter}, {"Cancel", ids::kCancel}}));
    wire_clicks(*this, controls_, logic_, std::array<int, 2>{ids::kEnter, ids::kCancel});
}

int DiodeSerialNumberBox::run() {
    logic_.open(controls_);
    return exec();
}

TempCompBox::TempCompBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    namespace ids = temp_comp_box;
    set_up(*this, ids::kResourceName, ids::kCaption);
    auto *checks = new QHBoxLayout;
    checks->addWidget(named(new QCheckBox(tr("Enable")), ids::kEnable));
    checks->addWidget(named(new QCheckBox(tr("Beep")), ids::kBeep));
    checks->addStretch();
    auto *period = new QHBoxLayout;
    period->addWidget(label(tr("Time (in seconds)")));
    period->addWidget(edit(ids::kPeriodEdit, 6));
    period->addStretch();
    auto *list = named(new QListWidget, ids::kPramsList);
    list->setMinimumSize(260, 150);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(checks);
    layout->addLayout(period);
    layout->addWidget(list);
    layout->addLayout(button_row(
        {{"Enter", ids::kEnter}, {"Get PRAMS", ids::kGetPrams}, {"Close", ids::kClose}}));
    wire_clicks(
        *this, controls_, logic_,
        std::array<int, 5>{ids::kEnable, ids::kBeep, ids::kEnter, ids::kGetPrams, ids::kClose});
}

int TempCompBox::run() {
    logic_.open(controls_);
    return exec();
}

LinCorPramsBox::LinCorPramsBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    namespace ids = lin_cor_box;
    set_up(*this, ids::kResourceName, ids::kCaption);
    auto *list = named(new QListWidget, ids::kPramsList);
    list->setMinimumSize(300, 150);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(named(new QCheckBox(tr("Enable")), ids::kEnable));
    layout->addWidget(list);
    layout->addLayout(button_row({{"Get PRAMS", ids::kGetPrams}, {"Cancel", ids::kCancel}}));
    wire_clicks(*this, controls_, logic_,
                std::array<int, 3>{ids::kEnable, ids::kGetPrams, ids::kCancel});
}

int LinCorPramsBox::run() {
    logic_.open(controls_);
    return exec();
}

FiloSizeBox::FiloSizeBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    namespace ids = filo_size_box;
    set_up(*this, ids::kResourceName, ids::kCaption);
    auto *form = new QFormLayout;
    for (std::size_t range = 0; range < 3; ++range)
        form->addRow(QString::fromUtf8(filter_settings_box::kRangeLabels[range]),
                     edit(ids::kLengthEdits[range], 8));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(button_row({{"Enter ", ids::kEnter}, {"Close", ids::kClose}}));
    wire_clicks(*this, controls_, logic_, std::array<int, 2>{ids::kEnter, ids::kClose});
}

int FiloSizeBox::run() {
    logic_.open(controls_);
    return exec();
}

FilterSettingsBox::FilterSettingsBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), logic_(state, ui), controls_(*this) {
    namespace ids = filter_settings_box;
    set_up(*this, ids::kResourceName, ids::kCaption);
    auto *grid = new QGridLayout;
    grid->addWidget(label(tr("Range")), 0, 0);
    grid->addWidget(label(tr("Gain")), 0, 1);
    grid->addWidget(label(tr("Filter")), 0, 2);
    grid->addWidget(label(tr("Length")), 0, 3);
    const auto chosen = [this](int id) { logic_.chosen(controls_, id); };
    for (std::size_t range = 0; range < 3; ++range) {
        const int row = static_cast<int>(range) + 1;
        grid->addWidget(label(QString::fromUtf8(ids::kRangeLabels[range])), row, 0);
        auto *gain = named(new QComboBox, ids::kGainLists[range]);
        auto *filter = named(new QComboBox, ids::kFilterLists[range]);
        forward_choice(*this, gain, ids::kGainLists[range], chosen);
        forward_choice(*this, filter, ids::kFilterLists[range], chosen);
        grid->addWidget(gain, row, 1);
        grid->addWidget(filter, row, 2);
        grid->addWidget(edit(ids::kLengthEdits[range], 6), row, 3);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(named(new QCheckBox(tr("Step Detect")), ids::kStepDetect));
    layout->addLayout(
        button_row({{"Enter Settings", ids::kEnterSettings}, {"Cancel/Close", ids::kCancelClose}}));
    wire_clicks(*this, controls_, logic_,
                std::array<int, 3>{ids::kStepDetect, ids::kEnterSettings, ids::kCancelClose});
}

int FilterSettingsBox::run() {
    logic_.open(controls_);
    return exec();
}

} // namespace meterdesk::ui

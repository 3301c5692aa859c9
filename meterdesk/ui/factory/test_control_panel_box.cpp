#include "meterdesk/ui/factory/test_control_panel_box.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

namespace ids = test_panel;
using namespace settings_widgets;

namespace {

QPushButton *button(const QString &text, int id) {
    return named(new QPushButton(text), id);
}

// A group with a file path edit and its "Select" button.
QGroupBox *file_group(const QString &title, int edit_id, int select_id) {
    auto *group = new QGroupBox(title);
    auto *row = new QHBoxLayout(group);
    auto *path = edit(edit_id, 40);
    path->setAlignment(Qt::AlignLeft);
    path->setReadOnly(true);
    row->addWidget(path, 1);
    row->addWidget(button(QObject::tr("Select"), select_id));
    return group;
}

} // namespace

TestControlPanelBox::TestControlPanelBox(AppState &state, Ui &ui, TestControlPanelLinks links,
                                         QWidget *owner)
    : QDialog(owner), logic_(state, ui, std::move(links)), controls_(*this) {
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(true);

    auto *sensor = new QGroupBox(tr("Sensor"));
    auto *sensor_grid = new QGridLayout(sensor);
    sensor_grid->addWidget(label(tr("Type")), 0, 0);
    auto *type = edit(ids::kType, 12);
    type->setReadOnly(true);
    sensor_grid->addWidget(type, 0, 1);
    sensor_grid->addWidget(label(tr("Serial Number")), 0, 2);
    auto *serial = edit(ids::kSerial, 12);
    serial->setReadOnly(true);
    sensor_grid->addWidget(serial, 0, 3);
    sensor_grid->addWidget(
        named(new QCheckBox(tr("Use Serial Number for File Names")), ids::kSerialFileNames), 1, 0,
        1, 4);

    auto *equation = new QGroupBox(tr("Equation"));
    auto *equation_row = new QHBoxLayout(equation);
    equation_row->addWidget(button(tr("Create"), 1499));
    equation_row->addWidget(button(tr("Save"), ids::kSaveEquation));
    equation_row->addWidget(button(tr("Check"), ids::kCheck));
    auto *cal_factors = new QGroupBox(tr("Cal Factors"));
    auto *cf_row = new QHBoxLayout(cal_factors);
    cf_row->addWidget(button(tr("Create"), 1501));
    cf_row->addWidget(button(tr("Save"), ids::kSaveCalFactors));
    cf_row->addWidget(button(tr("View"), ids::kView));
    auto *steps = new QHBoxLayout;
    steps->addWidget(equation);
    steps->addWidget(cal_factors);

    auto *runs = new QGroupBox(tr("Run"));
    auto *runs_grid = new QGridLayout(runs);
    runs_grid->addWidget(button(tr("Sensor Cal"), 1402), 0, 0);
    runs_grid->addWidget(button(tr("Sensor Test"), 1506), 0, 1);
    runs_grid->addWidget(button(tr("Daily Cal"), 1535), 0, 2);
    runs_grid->addWidget(named(new QCheckBox(tr("Cal Before Testing")), ids::kCalBeforeTesting), 1,
                         0);
    std::array<std::pair<const char *, int>, 3> frequencies = {
        {{"50MHz", ids::kDaily50MHz},
         {"Multi Freq", ids::kDailyMultiFreq},
         {"1GHz", ids::kDaily1GHz}}};
    int column = 0;
    for (auto [text, id] : frequencies) {
        auto *radio = named(new QRadioButton(QString::fromUtf8(text)), id);
        radio->setAutoExclusive(false); // the logic checks only the pressed one
        runs_grid->addWidget(radio, 2, column++);
    }
    runs_grid->addWidget(named(new QCheckBox(tr("Equation")), ids::kDailyEquation), 3, 0);
    runs_grid->addWidget(named(new QCheckBox(tr("CF's")), ids::kDailyCf), 3, 1);
    runs_grid->addWidget(named(new QCheckBox(tr("50MHz Flt")), ids::kDaily50MHzFilter), 3, 2);

    auto *close = button(tr("CLOSE"), ids::kClose);
    close->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(button(tr("HELP"), 1510));
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sensor);
    layout->addWidget(
        file_group(tr("Cal Results File"), ids::kEquationDataEdit, ids::kSelectEquationData));
    layout->addWidget(file_group(tr("Results File"), ids::kResultsEdit, ids::kSelectResults));
    layout->addWidget(file_group(tr("Test Plan File"), ids::kTestPlanEdit, ids::kSelectTestPlan));
    layout->addLayout(steps);
    layout->addWidget(runs);
    layout->addLayout(bottom);

    forward_clicks(*this, controls_,
                   std::array<int, 15>{ids::kSerialFileNames, ids::kSelectEquationData,
                                       ids::kSelectResults, ids::kSelectTestPlan,
                                       ids::kSaveEquation, ids::kCheck, ids::kCalBeforeTesting,
                                       ids::kDaily50MHz, ids::kDailyMultiFreq, ids::kDaily1GHz,
                                       ids::kDailyEquation, ids::kDailyCf, ids::kDaily50MHzFilter,
                                       ids::kClose, 1510},
                   [this](int id) { clicked(id); });
    resize(560, 520);
}

int TestControlPanelBox::run() {
    logic_.open(controls_);
    return exec();
}

void TestControlPanelBox::reject() {
    clicked(ids::kClose);
}

void TestControlPanelBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
}

} // namespace meterdesk::ui

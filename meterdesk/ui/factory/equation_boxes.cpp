#include "meterdesk/ui/factory/equation_boxes.h"

#include "meterdesk/factory/equation_dialogs.h"
#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

using namespace settings_widgets;

namespace {

// A list in a fixed-pitch font, so that the columns of numbers line up.
QListWidget *number_list(int id) {
    auto *list = named(new QListWidget, id);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return list;
}

QHBoxLayout *button_row(std::initializer_list<QPushButton *> buttons) {
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *b : buttons) row->addWidget(b);
    return row;
}

} // namespace

EquationPramsBox::EquationPramsBox(const AppState &state, QWidget *owner)
    : QDialog(owner), state_(state), controls_(*this) {
    namespace ids = equation_prams_box;
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(true);
    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    close->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(number_list(ids::kList), 1);
    layout->addLayout(button_row({close}));
    forward_clicks(*this, controls_, std::array<int, 1>{ids::kClose}, [this](int id) {
        if (equation_prams_box_clicked(id) == DialogAction::kClose) accept();
    });
    resize(340, 420);
}

int EquationPramsBox::run() {
    open_equation_prams_box(state_, controls_);
    return exec();
}

TestExecSettingsBox::TestExecSettingsBox(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), state_(state), ui_(ui), controls_(*this) {
    namespace ids = test_exec_box;
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(true);

    auto *equation = new QGroupBox(tr("Equation"));
    auto *parts = new QHBoxLayout(equation);
    auto *four = named(new QRadioButton(tr("4 Part")), ids::kFourPart);
    auto *three = named(new QRadioButton(tr("3 Part")), ids::kThreePart);
    four->setAutoExclusive(false);
    three->setAutoExclusive(false);
    parts->addWidget(four);
    parts->addWidget(three);

    auto *grid = new QGridLayout;
    grid->addWidget(label(tr("Equation Check Limit")), 0, 0);
    grid->addWidget(edit(ids::kCheckLimit, 10), 0, 1);
    grid->addWidget(label(tr("Test Error Warning Limit")), 1, 0);
    grid->addWidget(edit(ids::kWarningLimit, 10), 1, 1);

    auto *apply = named(new QPushButton(tr("Apply")), ids::kApply);
    apply->setDefault(true);
    auto *cancel = named(new QPushButton(tr("Cancel")), ids::kCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(equation);
    layout->addWidget(named(new QCheckBox(tr("Play")), ids::kPlay));
    layout->addWidget(named(new QCheckBox(tr("Save View Listing to File")), ids::kSaveViewListing));
    layout->addLayout(grid);
    layout->addLayout(button_row({apply, cancel}));
    forward_clicks(*this, controls_,
                   std::array<int, 4>{ids::kFourPart, ids::kThreePart, ids::kApply, ids::kCancel},
                   [this](int id) { clicked(id); });
}

int TestExecSettingsBox::run() {
    open_test_exec_box(state_, controls_);
    return exec();
}

void TestExecSettingsBox::reject() {
    clicked(test_exec_box::kCancel);
}

void TestExecSettingsBox::clicked(int id) {
    if (test_exec_box_clicked(state_, ui_, controls_, id) == DialogAction::kClose)
        QDialog::reject();
}

EquationCheckBox::EquationCheckBox(const AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), state_(state), ui_(ui), controls_(*this) {
    namespace ids = equation_check_box;
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(true);
    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    close->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(number_list(ids::kList), 1);
    layout->addLayout(button_row({close}));
    forward_clicks(*this, controls_, std::array<int, 1>{ids::kClose}, [this](int id) {
        if (equation_check_box_clicked(id) == DialogAction::kClose) accept();
    });
    resize(460, 480);
}

int EquationCheckBox::run() {
    open_equation_check_box(state_, ui_, controls_);
    return exec();
}

} // namespace meterdesk::ui

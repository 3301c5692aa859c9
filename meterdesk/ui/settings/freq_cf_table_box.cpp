#include "meterdesk/ui/settings/freq_cf_table_box.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

namespace ids = cf_table_box;
using namespace settings_widgets;

FreqCfTableBox::FreqCfTableBox(AppState &state, Ui &ui, CfTableEditorLinks links, QWidget *owner)
    : QDialog(owner), logic_(state, ui, std::move(links)), controls_(*this) {
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(true);

    auto *table = named(new QListWidget, ids::kTableList);
    table->setSelectionMode(QAbstractItemView::NoSelection);

    auto *group = new QGroupBox(tr("Edit Table"));
    auto *edit_button = named(new QPushButton(tr("Edit")), ids::kEdit);
    edit_button->setDefault(true);
    auto *frequencies = named(new QComboBox, ids::kFrequencyList);
    frequencies->setMaxVisibleItems(16);
    auto *grid = new QGridLayout(group);
    grid->addWidget(edit_button, 0, 0, 1, 2);
    grid->addWidget(label(tr("Frequency")), 1, 0);
    grid->addWidget(label(tr("Cal Factor")), 1, 1);
    grid->addWidget(frequencies, 2, 0);
    grid->addWidget(edit(ids::kFactorEdit, 7), 2, 1);
    grid->addWidget(named(new QPushButton(tr("Enter")), ids::kEnter), 3, 0);
    grid->addWidget(named(new QPushButton(tr("Save Table")), ids::kSaveTable), 3, 1);

    auto *done = named(new QPushButton(tr("Done")), ids::kDone);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(done);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addWidget(group);
    layout->addLayout(buttons);

    forward_clicks(*this, controls_,
                   std::array<int, 4>{ids::kEdit, ids::kEnter, ids::kSaveTable, ids::kDone},
                   [this](int id) { clicked(id); });
    forward_choice(*this, frequencies, ids::kFrequencyList,
                   [this](int id) { logic_.selection_changed(controls_, id); });
    // 203 x 271 dialog units of the 8-point dialog font.
    resize(305, 440);
}

int FreqCfTableBox::run() {
    logic_.open(controls_);
    return exec();
}

void FreqCfTableBox::reject() {
    clicked(ids::kDone);
}

void FreqCfTableBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
}

} // namespace meterdesk::ui

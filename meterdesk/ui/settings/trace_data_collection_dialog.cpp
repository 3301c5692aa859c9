#include "meterdesk/ui/settings/trace_data_collection_dialog.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace meterdesk::ui {

using namespace settings_widgets;
using Box = TraceDataCollectionBox;

TraceDataCollectionDialog::TraceDataCollectionDialog(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), controls_(*this), logic_(state, ui, controls_) {
    setWindowTitle(tr("Trace Data Collection"));
    setObjectName(QString::fromUtf8(kTraceDataCollectionBox));
    setModal(true);

    auto *file = new QGroupBox(tr("Collection File"));
    auto *file_column = new QVBoxLayout(file);
    auto *path_row = new QHBoxLayout;
    path_row->addWidget(named(new QPushButton(tr("Select File")), Box::kSelectFile));
    auto *path = edit(Box::kPath, 30);
    path->setReadOnly(true);
    path->setAlignment(Qt::AlignLeft);
    path_row->addWidget(path, 1);
    file_column->addLayout(path_row);
    file_column->addWidget(named(new QCheckBox(tr("File append")), Box::kAppend));

    auto *columns = new QGroupBox(tr("Trace Parameters To Be Saved"));
    auto *column_list = new QVBoxLayout(columns);
    const char *const names[] = {"Sensor volts (averaged)",
                                 "Sensor volts (temp comp adjusted)",
                                 "Sensor volts (cal factor adjusted)",
                                 "Temp comp adjust voltage",
                                 "Power",
                                 "Block temperature",
                                 "Air temperature"};
    for (int i = 0; i < static_cast<int>(kCollectionColumns); ++i)
        column_list->addWidget(named(new QCheckBox(tr(names[i])), Box::kFirstColumn + i));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(named(new QCheckBox(tr("Enable data collection")), Box::kEnable));
    buttons->addStretch();
    buttons->addWidget(named(new QPushButton(tr("Close")), Box::kClose));
    buttons->addWidget(named(new QPushButton(tr("Help")), Box::kHelp));

    auto *top = new QVBoxLayout(this);
    top->addWidget(file);
    top->addWidget(columns);
    top->addLayout(buttons);

    forward_clicks(*this, controls_, Box::control_ids(), [this](int id) { clicked(id); });
}

int TraceDataCollectionDialog::run() {
    logic_.initialise();
    return exec();
}

void TraceDataCollectionDialog::clicked(int id) {
    if (logic_.command(id) == DialogAction::kClose) accept();
}

} // namespace meterdesk::ui

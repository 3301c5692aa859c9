#include "meterdesk/ui/trace/trace_markers_dialog.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

using namespace settings_widgets;
using Box = TraceMarkersBox;

TraceMarkersDialog::TraceMarkersDialog(AppState &state, Ui &ui, QWidget *owner)
    : QDialog(owner), controls_(*this), logic_(state, ui, controls_) {
    setWindowTitle(tr("Trace Markers"));
    setObjectName(QString::fromUtf8(kTraceMarkersBoxName));
    setModal(false);

    auto scroll_bar = [this](Qt::Orientation orientation, int id) {
        auto *bar = named(new QScrollBar(orientation), id);
        forward_scroll(*this, bar, id, [this](int bar_id, ScrollAction action, int position) {
            logic_.scroll(bar_id, action, position);
        });
        return bar;
    };

    auto *time = new QGroupBox(tr("Time (X-axis)"));
    auto *time_grid = new QGridLayout(time);
    time_grid->addWidget(named(new QPushButton, Box::kXToggle), 0, 0, 1, 2);
    time_grid->addWidget(label(tr("X1 Marker")), 1, 0);
    time_grid->addWidget(scroll_bar(Qt::Horizontal, Box::kX1Scroll), 1, 1);
    time_grid->addWidget(label(tr("X2 Marker")), 2, 0);
    time_grid->addWidget(scroll_bar(Qt::Horizontal, Box::kX2Scroll), 2, 1);
    time_grid->setColumnStretch(1, 1);

    auto *level = new QGroupBox(tr("Level (Y-axis)"));
    auto *level_grid = new QGridLayout(level);
    level_grid->addWidget(named(new QPushButton, Box::kYToggle), 0, 0, 1, 2);
    level_grid->addWidget(label(tr("Y1")), 1, 0, Qt::AlignHCenter);
    level_grid->addWidget(label(tr("Y2")), 1, 1, Qt::AlignHCenter);
    auto *y1 = scroll_bar(Qt::Vertical, Box::kY1Scroll);
    auto *y2 = scroll_bar(Qt::Vertical, Box::kY2Scroll);
    y1->setMinimumHeight(100);
    y2->setMinimumHeight(100);
    level_grid->addWidget(y1, 2, 0, Qt::AlignHCenter);
    level_grid->addWidget(y2, 2, 1, Qt::AlignHCenter);

    auto *list = named(new QListWidget, Box::kList);
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QStringLiteral("X2 - X1: ")) +
                          list->fontMetrics().horizontalAdvance(QStringLiteral("0000.00 Seconds")) +
                          16);
    list->setSelectionMode(QAbstractItemView::NoSelection);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(named(new QCheckBox(tr("Label markers")), Box::kLabelMarkers));
    bottom->addStretch();
    bottom->addWidget(named(new QPushButton(tr("Close")), Box::kClose));

    auto *top = new QGridLayout(this);
    top->addWidget(time, 0, 0);
    top->addWidget(level, 0, 1, 2, 1);
    top->addWidget(list, 1, 0);
    top->addLayout(bottom, 2, 0, 1, 2);

    forward_clicks(
        *this, controls_,
        std::array<int, 4>{Box::kXToggle, Box::kYToggle, Box::kLabelMarkers, Box::kClose},
        [this](int id) { clicked(id); });
}

void TraceMarkersDialog::open_panel() {
    logic_.initialise();
    show();
    raise();
    activateWindow();
}

void TraceMarkersDialog::show_readings(const std::vector<std::string> &lines) {
    logic_.show_readings(lines);
}

void TraceMarkersDialog::reject() {
    clicked(Box::kClose);
}

void TraceMarkersDialog::clicked(int id) {
    if (logic_.command(id) == DialogAction::kClose) QDialog::reject(); // hides
}

} // namespace meterdesk::ui

#include "meterdesk/ui/settings/rf_calculator_boxes.h"

#include "meterdesk/ui/settings/dialog_widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <array>

namespace meterdesk::ui {

using namespace settings_widgets;

namespace {

// A read-only, centred result edit.
QLineEdit *result_box(int id, int width_chars = 9) {
    QLineEdit *box = edit(id, width_chars);
    box->setReadOnly(true);
    return box;
}

QLabel *caption_label(const QString &text) {
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QScrollBar *horizontal_bar(int id) {
    return named(new QScrollBar(Qt::Horizontal), id);
}

// The SOURCE or LOAD group: the bar over VSWR, Rho and Return Loss.
QGroupBox *end_group(const QString &title, int bar, int vswr, int rho, int return_loss) {
    auto *group = new QGroupBox(title);
    auto *grid = new QGridLayout(group);
    grid->addWidget(horizontal_bar(bar), 0, 0, 1, 3);
    grid->addWidget(caption_label(QObject::tr("VSWR")), 1, 0);
    grid->addWidget(caption_label(QObject::tr("Rho")), 1, 1);
    grid->addWidget(caption_label(QObject::tr("Return Loss")), 1, 2);
    grid->addWidget(result_box(vswr, 6), 2, 0);
    grid->addWidget(result_box(rho, 6), 2, 1);
    grid->addWidget(result_box(return_loss, 9), 2, 2);
    return group;
}

} // namespace

// --- VSWR mismatch -----------------------------------------------------------------------------

MismatchCalculatorBox::MismatchCalculatorBox(std::function<void(int)> show_help, QWidget *owner)
    : QDialog(owner), logic_(std::move(show_help)), controls_(*this) {
    namespace ids = mismatch_calculator;
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    auto *ends = new QHBoxLayout;
    ends->addWidget(end_group(tr("SOURCE"), ids::kSourceBar, ids::kSourceVswr, ids::kSourceRho,
                              ids::kSourceReturnLoss));
    ends->addWidget(
        end_group(tr("LOAD"), ids::kLoadBar, ids::kLoadVswr, ids::kLoadRho, ids::kLoadReturnLoss));

    auto *results = new QGridLayout;
    const std::array<std::pair<const char *, int>, 5> columns = {{
        {"Maximum\nVSWR", ids::kMaximumVswr},
        {"Combined\nReturn Loss", ids::kCombinedReturnLoss},
        {"Plus\nUncertainty", ids::kPlusUncertainty},
        {"Minus\nUncertainty", ids::kMinusUncertainty},
        {"Mismatch\nLoss at Load", ids::kMismatchLoss},
    }};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        results->addWidget(caption_label(tr(columns[i].first)), 0, column);
        const bool wide = columns[i].second == ids::kPlusUncertainty ||
                          columns[i].second == ids::kMinusUncertainty;
        results->addWidget(result_box(columns[i].second, wide ? 19 : 9), 1, column);
    }

    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    auto *help = named(new QPushButton(tr("Help")), ids::kHelp);
    help->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(ends);
    layout->addLayout(results);
    layout->addStretch();
    layout->addLayout(buttons);

    forward_clicks(*this, controls_, std::array<int, 2>{ids::kClose, ids::kHelp}, [this](int id) {
        if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
    });
    for (int bar : {ids::kSourceBar, ids::kLoadBar})
        forward_scroll(*this, qobject_cast<QAbstractSlider *>(controls_.widget(bar)), bar,
                       [this](int id, ScrollAction action, int drag) {
                           logic_.scrolled(controls_, id, action, drag);
                       });
    // 414 x 190 dialog units of the 8-point dialog font.
    resize(621, 309);
}

void MismatchCalculatorBox::open_panel() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void MismatchCalculatorBox::reject() {
    QDialog::reject(); // hides
}

// --- Microwave parameters ----------------------------------------------------------------------

MicrowaveCalculatorBox::MicrowaveCalculatorBox(Ui &ui, std::function<void(int)> show_help,
                                               QWidget *owner)
    : QDialog(owner), logic_(ui, std::move(show_help)), controls_(*this) {
    namespace ids = microwave_calculator;
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    auto *entry_group = new QGroupBox(tr("Parameter Entry"));
    auto *entry_layout = new QVBoxLayout(entry_group);
    entry_layout->addWidget(named(new QRadioButton(tr("VSWR")), ids::kVswrRadio));
    entry_layout->addWidget(named(new QRadioButton(tr("Reflection Co-efficient")), ids::kRhoRadio));
    entry_layout->addWidget(named(new QRadioButton(tr("Return Loss")), ids::kReturnLossRadio));
    QLineEdit *entry = edit(ids::kEntry, 12);
    entry->setMaxLength(static_cast<int>(ids::kEntryChars));
    entry_layout->addWidget(entry);

    auto *results_group = new QGroupBox(tr("Parameter Calculation"));
    auto *grid = new QGridLayout(results_group);
    const std::array<std::pair<const char *, int>, 4> columns = {{
        {"VSWR", ids::kVswr},
        {"Reflection\nCo-efficient", ids::kRho},
        {"Return\nLoss (dB)", ids::kReturnLoss},
        {"Mismatch\nLoss (dB)", ids::kMismatchLoss},
    }};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        grid->addWidget(caption_label(tr(columns[i].first)), 0, static_cast<int>(i));
        grid->addWidget(result_box(columns[i].second, 7), 1, static_cast<int>(i));
    }

    auto *groups = new QHBoxLayout;
    groups->addWidget(entry_group);
    groups->addWidget(results_group, 1);

    auto *calculate = named(new QPushButton(tr("Calculate")), ids::kCalculate);
    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    auto *help = named(new QPushButton(tr("Help")), ids::kHelp);
    calculate->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calculate);
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addStretch();
    layout->addLayout(buttons);

    forward_clicks(*this, controls_,
                   std::array<int, 6>{ids::kVswrRadio, ids::kRhoRadio, ids::kReturnLossRadio,
                                      ids::kCalculate, ids::kClose, ids::kHelp},
                   [this](int id) { clicked(id); });
    // 366 x 145 dialog units of the 8-point dialog font.
    resize(549, 236);
}

void MicrowaveCalculatorBox::open_panel() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void MicrowaveCalculatorBox::reject() {
    QDialog::reject(); // hides
}

void MicrowaveCalculatorBox::clicked(int id) {
    if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
}

// --- Power units -------------------------------------------------------------------------------

PowerUnitsConverterBox::PowerUnitsConverterBox(QWidget *owner) : QDialog(owner), controls_(*this) {
    namespace ids = power_units_converter;
    setWindowTitle(QString::fromUtf8(ids::kCaption));
    setObjectName(QString::fromUtf8(ids::kResourceName));
    setModal(false);

    auto *bar_row = new QHBoxLayout;
    bar_row->addWidget(caption_label(tr("-70dBm\n100pW")));
    bar_row->addWidget(horizontal_bar(ids::kBar), 1);
    bar_row->addWidget(caption_label(tr("+30dBm\n1W")));

    auto *values = new QGridLayout;
    values->addWidget(caption_label(tr("Log")), 0, 0);
    values->addWidget(caption_label(tr("Linear")), 0, 1);
    values->addWidget(result_box(ids::kLog, 12), 1, 0);
    values->addWidget(result_box(ids::kLinear, 12), 1, 1);

    auto *close = named(new QPushButton(tr("Close")), ids::kClose);
    close->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(tr("Referenced to 50 Ohms Impedance")));
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar_row);
    layout->addLayout(values);
    layout->addStretch();
    layout->addLayout(bottom);

    forward_clicks(*this, controls_, std::array<int, 1>{ids::kClose}, [this](int id) {
        if (logic_.clicked(controls_, id) == DialogAction::kClose) QDialog::reject();
    });
    forward_scroll(*this, qobject_cast<QAbstractSlider *>(controls_.widget(ids::kBar)), ids::kBar,
                   [this](int id, ScrollAction action, int drag) {
                       logic_.scrolled(controls_, id, action, drag);
                   });
    // 298 x 115 dialog units of the 8-point dialog font.
    resize(447, 187);
}

void PowerUnitsConverterBox::open_panel() {
    logic_.open(controls_);
    show();
    raise();
    activateWindow();
}

void PowerUnitsConverterBox::reject() {
    QDialog::reject(); // hides
}

} // namespace meterdesk::ui

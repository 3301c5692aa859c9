#include "meterdesk/settings/rf_calculators.h"

#include "meterdesk/core/ports.h"
#include "meterdesk/settings/number_text.h"

#include <algorithm>
#include <cmath>

namespace meterdesk {

int calculator_scroll_position(int position, ScrollAction action, int drag_position, int minimum,
                               int maximum) {
    switch (action) {
    case ScrollAction::kThumbTrack:
    case ScrollAction::kThumbPosition:
        return std::clamp(drag_position, minimum, maximum);
    case ScrollAction::kLineUp: // the left arrow
        return std::max(position - 1, minimum);
    case ScrollAction::kLineDown: // the right arrow
        return std::min(position + 1, maximum);
    default:
        return position;
    }
}

// --- VSWR mismatch ---------------------------------------------------------------------------

namespace {

std::string db_text(double db) {
    return printf_fixed(db, 2) + " dB";
}

// "%.3f dB  (%.2f%%)": the uncertainty and the power error it means.
std::string uncertainty_text(double db) {
    return printf_fixed(db, 3) + " dB  (" + printf_fixed((std::pow(10.0, db / 10) - 1) * 100, 2) +
           "%)";
}

} // namespace

MismatchCalculator::MismatchCalculator(std::function<void(int)> show_help)
    : show_help_(std::move(show_help)) {}

void MismatchCalculator::open(Controls &controls) {
    namespace ids = mismatch_calculator;
    controls.set_caption(ids::kCaption);
    for (int bar : {ids::kSourceBar, ids::kLoadBar}) {
        controls.set_scroll_range(bar, 0, ids::kMaximumPosition);
    }
    controls.set_scroll_position(ids::kSourceBar, source_position_);
    controls.set_scroll_position(ids::kLoadBar, load_position_);
    show(controls);
}

void MismatchCalculator::scrolled(Controls &controls, int id, ScrollAction action,
                                  int drag_position) {
    namespace ids = mismatch_calculator;
    int *position = id == ids::kSourceBar ? &source_position_
                    : id == ids::kLoadBar ? &load_position_
                                          : nullptr;
    if (position == nullptr) return;
    *position =
        calculator_scroll_position(*position, action, drag_position, 0, ids::kMaximumPosition);
    controls.set_scroll_position(id, *position);
    show(controls);
}

DialogAction MismatchCalculator::clicked(Controls &, int id) {
    namespace ids = mismatch_calculator;
    if (id == ids::kHelp && show_help_) show_help_(ids::kHelpTopic);
    return id == ids::kClose ? DialogAction::kClose : DialogAction::kStay;
}

void MismatchCalculator::show(Controls &controls) const {
    namespace ids = mismatch_calculator;
    const double s = vswr_of(source_position_);
    const double l = vswr_of(load_position_);
    const double rs = (s - 1) / (s + 1);
    const double rl = (l - 1) / (l + 1);
    const double return_loss_load = -20 * std::log10(rl);

    controls.set_text(ids::kSourceVswr, printf_fixed(s, 2));
    controls.set_text(ids::kSourceRho, printf_fixed(rs, 3));
    controls.set_text(ids::kSourceReturnLoss, s <= 1 ? "> 70 dB" : db_text(-20 * std::log10(rs)));
    controls.set_text(ids::kLoadVswr, printf_fixed(l, 2));
    controls.set_text(ids::kLoadRho, printf_fixed(rl, 3));
    controls.set_text(ids::kLoadReturnLoss, l <= 1 ? "> 70 dB" : db_text(return_loss_load));

    const double m = s * l;
    controls.set_text(ids::kMaximumVswr, printf_fixed(m, 2));
    controls.set_text(ids::kCombinedReturnLoss,
                      s <= 1 && l <= 1 ? "Infinite" : db_text(-20 * std::log10((m - 1) / (m + 1))));
    controls.set_text(ids::kPlusUncertainty, uncertainty_text(20 * std::log10(1 + rs * rl)));
    controls.set_text(ids::kMinusUncertainty, uncertainty_text(20 * std::log10(1 - rs * rl)));
    const double reflected = std::pow(10.0, -return_loss_load / 20);
    controls.set_text(ids::kMismatchLoss,
                      l > 1 ? db_text(-10 * std::log10(1 - reflected * reflected)) : "0.00 dB");
}

// --- Microwave parameters ----------------------------------------------------------------------

MicrowaveCalculator::MicrowaveCalculator(Ui &ui, std::function<void(int)> show_help)
    : ui_(ui), show_help_(std::move(show_help)) {}

void MicrowaveCalculator::open(Controls &controls) {
    namespace ids = microwave_calculator;
    controls.set_caption(ids::kCaption);
    for (int radio : {ids::kVswrRadio, ids::kRhoRadio, ids::kReturnLossRadio})
        controls.set_checked(radio, radio == selected_);
}

DialogAction MicrowaveCalculator::clicked(Controls &controls, int id) {
    namespace ids = microwave_calculator;
    switch (id) {
    case ids::kVswrRadio:
    case ids::kRhoRadio:
    case ids::kReturnLossRadio:
        selected_ = id;
        for (int radio : {ids::kVswrRadio, ids::kRhoRadio, ids::kReturnLossRadio})
            controls.set_checked(radio, radio == id);
        return DialogAction::kStay;
    case ids::kCalculate:
        calculate(controls);
        return DialogAction::kStay;
    case ids::kHelp:
        if (show_help_) show_help_(ids::kHelpTopic);
        return DialogAction::kStay;
    case ids::kClose:
        return DialogAction::kClose;
    default:
        return DialogAction::kStay;
    }
}

void MicrowaveCalculator::calculate(Controls &controls) {
    namespace ids = microwave_calculator;
    const double v = read_number(controls.text(ids::kEntry), ids::kEntryChars);
    double vswr = 0, rho = 0, return_loss = 0;
    bool accepted = false;
    const char *refusal = nullptr;
    switch (selected_) {
    case ids::kRhoRadio:
        refusal = "Reflection Co-efficient\nmust be less than one\nand greater than zero.";
        if (v > 0 && v < 1) {
            accepted = true;
            rho = v;
            vswr = (1 + rho) / (1 - rho);
            return_loss = -20 * std::log10(rho);
        }
        break;
    case ids::kReturnLossRadio:
        refusal = "Return Loss can't be zero.";
        if (v != 0 && std::isfinite(v)) {
            accepted = true;
            return_loss = std::fabs(v);
            rho = std::pow(10.0, -0.05 * return_loss);
            vswr = (1 + rho) / (1 - rho);
        }
        break;
    default:
        refusal = "VSWR must be greater than one.";
        if (v > 1 && std::isfinite(v)) {
            accepted = true;
            vswr = v;
            rho = (v - 1) / (v + 1);
            return_loss = -20 * std::log10(rho);
        }
        break;
    }
    const double mismatch_loss = -10 * std::log10(1 - rho * rho);
    // "nan", "1e999" and values whose results overflow are refused like any other.
    const bool usable = accepted && std::isfinite(vswr) && std::isfinite(return_loss) &&
                        std::isfinite(mismatch_loss);
    if (!usable) {
        ui_.message(ids::kRefusalCaption, refusal, MessageButtons::kOk, MessageIcon::kExclamation);
        return;
    }
    controls.set_text(ids::kVswr, printf_fixed(vswr, 2));
    controls.set_text(ids::kRho, printf_fixed(rho, 3));
    controls.set_text(ids::kReturnLoss, printf_fixed(return_loss, 2));
    controls.set_text(ids::kMismatchLoss, printf_fixed(mismatch_loss, 2));
}

// --- Power units -------------------------------------------------------------------------------

std::string PowerUnitsConverter::linear_text(double dbm) {
    const double mw = std::pow(10.0, dbm / 10);
    if (mw < 1e-6) return printf_fixed(mw * 1e9, 3) + "pW";
    if (mw < 0.001) return printf_fixed(mw * 1e6, 3) + "nW";
    if (mw < 1) return printf_fixed(mw * 1000, 3) + "uW";
    return printf_fixed(mw, 3) + "mW";
}

void PowerUnitsConverter::open(Controls &controls) {
    namespace ids = power_units_converter;
    controls.set_caption(ids::kCaption);
    controls.set_scroll_range(ids::kBar, 0, ids::kMaximumPosition);
    controls.set_scroll_position(ids::kBar, position_);
    show(controls);
}

void PowerUnitsConverter::scrolled(Controls &controls, int id, ScrollAction action,
                                   int drag_position) {
    namespace ids = power_units_converter;
    if (id != ids::kBar) return;
    position_ =
        calculator_scroll_position(position_, action, drag_position, 0, ids::kMaximumPosition);
    controls.set_scroll_position(id, position_);
    show(controls);
}

DialogAction PowerUnitsConverter::clicked(Controls &, int id) {
    return id == power_units_converter::kClose ? DialogAction::kClose : DialogAction::kStay;
}

void PowerUnitsConverter::show(Controls &controls) const {
    namespace ids = power_units_converter;
    const double dbm = 0.1 * position_ - 70;
    controls.set_text(ids::kLog, printf_fixed(dbm, 3) + "dBm");
    controls.set_text(ids::kLinear, linear_text(dbm));
}

} // namespace meterdesk

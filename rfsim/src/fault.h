// A fault planned for one device: `fault = unplug@N`, `silent@N` or `corrupt@N` (or `none`),
// counting the commands the device receives after the key was set, the first being 1.
//
// What counts as one command is the device's own business (the sensor counts each line, each
// "FX" binary block and each download record, as its `commands` / `firmware_lines` logs show
// them); the plan and its counter are shared by every kind of device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rfsim {

enum class FaultKind { none, unplug, silent, corrupt };

struct FaultPlan {
    FaultKind kind = FaultKind::none;
    uint64_t at = 0; // the command, counted from 1, at which the fault strikes

    bool operator==(const FaultPlan &) const = default;
};

// "none", or "<kind>@<N>" with N >= 1; nullopt for anything else.
std::optional<FaultPlan> parse_fault(std::string_view text);
std::string format_fault(const FaultPlan &plan);

// Counts a device's commands against its plan.
class FaultCounter {
  public:
    // Starts counting afresh (setting the key, configuring the bus).
    void arm(const FaultPlan &plan) {
        plan_ = plan;
        seen_ = 0;
        spent_ = plan.kind == FaultKind::none;
    }
    // Nothing more will strike until the next arm (a plug-in powers the device up afresh).
    void disarm() { spent_ = true; }

    // Counts one command and returns the fault that applies to it: none before the N-th
    // command, the plan's kind from the N-th on until spend() is called.
    FaultKind count() {
        if (spent_) return FaultKind::none;
        ++seen_;
        return seen_ >= plan_.at ? plan_.kind : FaultKind::none;
    }
    // The fault has done what it does once (an unplug, a corrupted write).
    void spend() { spent_ = true; }

    // The fault is in force at this moment, without counting a command (a silent sensor stays
    // silent for every reply after the N-th command).
    bool active(FaultKind kind) const { return !spent_ && plan_.kind == kind && seen_ >= plan_.at; }

  private:
    FaultPlan plan_;
    uint64_t seen_ = 0;
    bool spent_ = true;
};

} // namespace rfsim

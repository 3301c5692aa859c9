#include "meterdesk/support/fake_ui.h"

namespace meterdesk_test {

namespace {

UiCall make(UiCall::Kind kind, std::string caption = {}, std::string text = {}, int number = 0,
            int value = 0) {
    UiCall call{kind,  std::move(caption),  std::move(text),   number,
                value, MessageButtons::kOk, MessageIcon::kNone};
    return call;
}

} // namespace

void FakeUi::record(UiCall call) {
    std::lock_guard lock(mutex_);
    if (call.kind == Kind::enable_command) enabled_[call.number] = call.value != 0;
    calls_.push_back(std::move(call));
    changed_.notify_all();
}

MessageAnswer FakeUi::message(std::string_view caption, std::string_view text,
                              MessageButtons buttons, MessageIcon icon) {
    UiCall call = make(Kind::message, std::string(caption), std::string(text));
    call.buttons = buttons;
    call.icon = icon;
    std::function<std::optional<MessageAnswer>(const UiCall &)> handler;
    MessageAnswer answer = MessageAnswer::kOk;
    {
        std::lock_guard lock(mutex_);
        handler = message_handler_;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
    }
    if (handler) {
        if (auto replaced = handler(call)) answer = *replaced;
    }
    record(std::move(call));
    return answer;
}

void FakeUi::repaint(RepaintRequest code) {
    std::function<void(RepaintRequest)> handler;
    {
        std::lock_guard lock(mutex_);
        handler = repaint_handler_;
    }
    if (handler) handler(code);
    record(make(Kind::repaint, {}, {}, static_cast<int>(code)));
}

void FakeUi::install_menu(std::string_view resource_name) {
    record(make(Kind::install_menu, std::string(resource_name)));
}

void FakeUi::show_toolbar(int view_mode, bool shown) {
    record(make(Kind::show_toolbar, {}, {}, view_mode, shown ? 1 : 0));
}

void FakeUi::enable_command(int command_id, bool enabled) {
    record(make(Kind::enable_command, {}, {}, command_id, enabled ? 1 : 0));
}

void FakeUi::start_timer(int timer_id, int period_ms) {
    record(make(Kind::start_timer, {}, {}, timer_id, period_ms));
}

void FakeUi::stop_timer(int timer_id) {
    record(make(Kind::stop_timer, {}, {}, timer_id));
}

void FakeUi::close_panel(std::string_view resource_name) {
    record(make(Kind::close_panel, std::string(resource_name)));
}

void FakeUi::progress_open(std::string_view resource_name, std::string_view text, int range,
                           std::function<void()> on_break) {
    {
        std::lock_guard lock(mutex_);
        break_actions_[std::string(resource_name)] = std::move(on_break);
    }
    record(make(Kind::progress_open, std::string(resource_name), std::string(text), range));
}

void FakeUi::progress_step(std::string_view resource_name) {
    record(make(Kind::progress_step, std::string(resource_name)));
}

void FakeUi::progress_close(std::string_view resource_name) {
    {
        std::lock_guard lock(mutex_);
        break_actions_.erase(std::string(resource_name));
    }
    record(make(Kind::progress_close, std::string(resource_name)));
}

bool FakeUi::press_break(std::string_view resource_name) {
    std::function<void()> action;
    {
        std::lock_guard lock(mutex_);
        auto found = break_actions_.find(std::string(resource_name));
        if (found == break_actions_.end() || !found->second) return false;
        action = found->second;
    }
    action();
    return true;
}

void FakeUi::log_status(std::string_view status) {
    record(make(Kind::log_status, {}, std::string(status)));
}

void FakeUi::show_trace_boxes(bool shown) {
    record(make(Kind::show_trace_boxes, {}, {}, 0, shown ? 1 : 0));
}

void FakeUi::set_trace_box_text(std::string_view resource_name, std::string_view text) {
    record(make(Kind::trace_box_text, std::string(resource_name), std::string(text)));
}

std::string FakeUi::open_file_dialog(std::string_view initial_folder, std::string_view filter) {
    std::string path;
    {
        std::lock_guard lock(mutex_);
        if (!files_.empty()) {
            path = files_.front();
            files_.pop_front();
        }
    }
    record(make(Kind::open_file_dialog, std::string(initial_folder), std::string(filter)));
    return path;
}

std::string FakeUi::save_file_dialog(std::string_view initial_folder, std::string_view filter) {
    std::string path;
    {
        std::lock_guard lock(mutex_);
        if (!files_.empty()) {
            path = files_.front();
            files_.pop_front();
        }
    }
    record(make(Kind::save_file_dialog, std::string(initial_folder), std::string(filter)));
    return path;
}

void FakeUi::script_answer(MessageAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void FakeUi::script_file(std::string path) {
    std::lock_guard lock(mutex_);
    files_.push_back(std::move(path));
}

void FakeUi::on_message(std::function<std::optional<MessageAnswer>(const UiCall &)> handler) {
    std::lock_guard lock(mutex_);
    message_handler_ = std::move(handler);
}

void FakeUi::on_repaint(std::function<void(RepaintRequest)> handler) {
    std::lock_guard lock(mutex_);
    repaint_handler_ = std::move(handler);
}

FakeUi::Calls FakeUi::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t FakeUi::size() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

FakeUi::Calls FakeUi::calls_since(std::size_t mark) const {
    std::lock_guard lock(mutex_);
    if (mark >= calls_.size()) return {};
    return Calls(calls_.begin() + static_cast<std::ptrdiff_t>(mark), calls_.end());
}

FakeUi::Calls FakeUi::of_kind(Kind kind, std::size_t since) const {
    Calls result;
    for (const auto &call : calls_since(since)) {
        if (call.kind == kind) result.push_back(call);
    }
    return result;
}

int FakeUi::count(Kind kind, std::size_t since) const {
    return static_cast<int>(of_kind(kind, since).size());
}

int FakeUi::repaints(RepaintRequest code, std::size_t since) const {
    int n = 0;
    for (const auto &call : of_kind(Kind::repaint, since)) {
        if (call.number == static_cast<int>(code)) ++n;
    }
    return n;
}

std::vector<std::string> FakeUi::message_texts(std::size_t since) const {
    std::vector<std::string> texts;
    for (const auto &call : of_kind(Kind::message, since)) texts.push_back(call.text);
    return texts;
}

std::optional<bool> FakeUi::command_enabled(int command_id) const {
    std::lock_guard lock(mutex_);
    auto it = enabled_.find(command_id);
    if (it == enabled_.end()) return std::nullopt;
    return it->second;
}

bool FakeUi::wait_until(const std::function<bool(const Calls &)> &condition,
                        std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return condition(calls_); });
}

bool FakeUi::wait_for(Kind kind, int n, std::optional<int> number, std::size_t since,
                      std::chrono::milliseconds limit) const {
    return wait_until(
        [&](const Calls &calls) {
            int found = 0;
            for (std::size_t i = since; i < calls.size(); ++i) {
                if (calls[i].kind == kind && (!number || calls[i].number == *number)) ++found;
            }
            return found >= n;
        },
        limit);
}

void FakeSound::beep(int hz, int ms) {
    std::lock_guard lock(mutex_);
    beeps_.push_back({hz, ms});
}

void FakeSound::play_wav(std::string_view path) {
    std::lock_guard lock(mutex_);
    wavs_.emplace_back(path);
}

std::vector<FakeSound::Beep> FakeSound::beeps() const {
    std::lock_guard lock(mutex_);
    return beeps_;
}

std::vector<std::string> FakeSound::wavs() const {
    std::lock_guard lock(mutex_);
    return wavs_;
}

} // namespace meterdesk_test

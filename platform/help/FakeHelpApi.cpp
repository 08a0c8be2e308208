#include "platform/help/FakeHelpApi.h"

namespace help {

void FakeHelpApi::FailWith(std::optional<std::string> error) {
    std::lock_guard lock(mutex_);
    failure_ = std::move(error);
}

std::vector<FakeHelpApi::Call> FakeHelpApi::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::optional<FakeHelpApi::Call> FakeHelpApi::LastCall() const {
    std::lock_guard lock(mutex_);
    if (calls_.empty()) return std::nullopt;
    return calls_.back();
}

void FakeHelpApi::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

bool FakeHelpApi::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

std::string FakeHelpApi::ShownPage() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

bool FakeHelpApi::WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* error) {
    std::lock_guard lock(mutex_);
    Call call{helpFile, command, data, HelpPagePath(helpFile, command, data)};
    if (command == HELP_QUIT) {
        open_ = false;
        call.Succeeded = true;
    } else if (call.Page.empty()) {
        if (error) *error = UnknownCommandMessage(command);
    } else if (failure_) {
        if (error) *error = *failure_;
    } else {
        open_ = true;
        shown_ = call.Page;
        call.Succeeded = true;
    }
    calls_.push_back(call);
    return call.Succeeded;
}

}  // namespace help

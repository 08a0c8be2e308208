// A HelpApi for tests: records each call with the page it would show, and
// keeps whether the help window would be open. It looks at no file; a test
// makes calls fail with FailWith.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/help/HelpApi.h"

namespace help {

class FakeHelpApi : public HelpApi {
public:
    struct Call {
        std::string HelpFile;
        unsigned Command = 0;
        std::uintptr_t Data = 0;
        std::string Page;  // HelpPagePath of the call
        bool Succeeded = false;
    };

    // Every later call of a showing command fails with `error`; nullopt: they
    // succeed again. HELP_QUIT always succeeds.
    void FailWith(std::optional<std::string> error);

    std::vector<Call> Calls() const;
    std::optional<Call> LastCall() const;
    void ClearCalls();
    bool IsOpen() const;
    std::string ShownPage() const;  // the page of the last successful showing call

    bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* error) override;

private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    std::optional<std::string> failure_;
    bool open_ = false;
    std::string shown_;
};

}  // namespace help

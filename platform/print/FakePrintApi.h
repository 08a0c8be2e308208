// A PrintApi for tests: a page of a given size, a set-up dialog that answers
// as told, and a record of every job (title, font, pages of lines). A job
// can be made to fail.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/print/PrintApi.h"

namespace printing {

class FakePrintApi : public PrintApi {
public:
    struct Job {
        std::string Title;
        PrintFont Font;
        std::vector<Page> Pages;
    };

    // 60 lines of 100 pixels unless told otherwise.
    explicit FakePrintApi(PageSize page = {6000, 100});

    void SetPageSize(PageSize page);
    void SetSetupAnswer(bool accept);  // accepted unless told otherwise
    // The next job fails with `error` after printing `pagesBefore` pages
    // (0: the printer does not open); those pages are recorded.
    void FailNextJob(std::string error, size_t pagesBefore = 0);

    int SetupCount() const;
    std::vector<PrintFont> FontsAsked() const;  // PageSizeFor's arguments, in order
    std::vector<Job> Jobs() const;

    bool PrinterSetup() override;
    PageSize PageSizeFor(const PrintFont& font) override;
    bool PrintPages(const std::string& title, const PrintFont& font, const std::vector<Page>& pages,
                    std::string* error) override;

private:
    struct Failure {
        std::string Error;
        size_t PagesBefore;
    };

    mutable std::mutex mutex_;
    PageSize page_;
    bool accept_ = true;
    int setups_ = 0;
    std::optional<Failure> failure_;
    std::vector<PrintFont> fontsAsked_;
    std::vector<Job> jobs_;
};

}  // namespace printing

#include "platform/print/FakePrintApi.h"

#include <algorithm>
#include <utility>

namespace printing {

FakePrintApi::FakePrintApi(PageSize page) : page_(page) {}

void FakePrintApi::SetPageSize(PageSize page) {
    std::lock_guard lock(mutex_);
    page_ = page;
}

void FakePrintApi::SetSetupAnswer(bool accept) {
    std::lock_guard lock(mutex_);
    accept_ = accept;
}

void FakePrintApi::FailNextJob(std::string error, size_t pagesBefore) {
    std::lock_guard lock(mutex_);
    failure_ = Failure{std::move(error), pagesBefore};
}

int FakePrintApi::SetupCount() const {
    std::lock_guard lock(mutex_);
    return setups_;
}

std::vector<PrintFont> FakePrintApi::FontsAsked() const {
    std::lock_guard lock(mutex_);
    return fontsAsked_;
}

std::vector<FakePrintApi::Job> FakePrintApi::Jobs() const {
    std::lock_guard lock(mutex_);
    return jobs_;
}

bool FakePrintApi::PrinterSetup() {
    std::lock_guard lock(mutex_);
    ++setups_;
    return accept_;
}

PageSize FakePrintApi::PageSizeFor(const PrintFont& font) {
    std::lock_guard lock(mutex_);
    fontsAsked_.push_back(font);
    return page_;
}

bool FakePrintApi::PrintPages(const std::string& title, const PrintFont& font, const std::vector<Page>& pages,
                              std::string* error) {
    std::lock_guard lock(mutex_);
    Job job{title, font, pages};
    const std::optional<Failure> failure = std::exchange(failure_, std::nullopt);
    if (failure) job.Pages.resize(std::min(pages.size(), failure->PagesBefore));
    jobs_.push_back(std::move(job));
    if (failure && error) *error = failure->Error;
    return !failure;
}

}  // namespace printing

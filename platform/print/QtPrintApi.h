// The PrintApi on Qt PrintSupport. The printer set-up dialog is Qt's print
// dialog, or a function given in its place (tests, scripted runs). With an
// output file name set, pages go to that PDF file instead of a printer.
#pragma once

#include <QImage>
#include <QPrinter>
#include <functional>

#include "platform/print/PrintApi.h"

class QWidget;

namespace printing {

class QtPrintApi : public PrintApi {
public:
    // Replaces the dialog: set the printer up and say whether to go on.
    using SetupDialog = std::function<bool(QPrinter&)>;

    explicit QtPrintApi(QWidget* dialogParent = nullptr);

    // A PDF file to print into; empty: the printer again.
    void SetOutputFileName(const std::string& path);
    // Runs in place of the print dialog; empty: the dialog again.
    void SetSetupDialog(SetupDialog dialog);
    QPrinter& Printer() { return printer_; }

    // One sheet as the printer would print it, at `dpi`, drawn by the same
    // code; a grey frame marks the printable area. To look at a page where no
    // PDF viewer is at hand.
    QImage PreviewPage(const PrintFont& font, const Page& page, int dpi = 96);

    bool PrinterSetup() override;
    PageSize PageSizeFor(const PrintFont& font) override;
    bool PrintPages(const std::string& title, const PrintFont& font, const std::vector<Page>& pages,
                    std::string* error) override;

private:
    QPrinter printer_;
    QWidget* dialogParent_;
    SetupDialog setupDialog_;
};

}  // namespace printing

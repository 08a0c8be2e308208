// The report windows.
#include "ide/Main.h"

#include "ide/Globals.h"
#include "ide/Unit5.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace Vantrel {

TFormPorocilo* TMainForm::OpenReportWindow(const QString& fileName) {
    auto* report = new TFormPorocilo;
    report->setWindowTitle(fileName);
    QMdiSubWindow* window = AddMDIChild(report);
    if (QFileInfo::exists(fileName)) report->LoadReport(fileName);
    report->show();
    mdi_->setActiveSubWindow(window);
    updateMenuitems();
    return report;
}

void TMainForm::ToolButton17Click() {
    OpenReportWindow(QString::fromStdString(AppDir + ReportName));
    // The frame's tiling, one window under the other, as the window menu does.
    WindowTileHorizontal1Execute();
}

}  // namespace Vantrel

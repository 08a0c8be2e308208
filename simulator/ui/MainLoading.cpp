// Opening a listing, loading its object file, reset and clearing memory.
#include "simulator/ui/Main.h"

#include "gui/Dialogs.h"
#include "gui/MdiFrame.h"
#include "platform/text/TextFile.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Loading.h"
#include "simulator/ui/UnitResetVekt.h"

#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

namespace VantrelSIM {

namespace {

QString ResolveFileName(const QString& name) {
    const auto found = FindFileIgnoringCase(name.toStdString());
    return found ? QString::fromStdString(*found) : name;
}

void ClearCells(uint16_t first, uint16_t last) {
    for (uint32_t address = first; address <= last; ++address) MemoryImage[address] = TMemoryCell{};
}

}  // namespace

void TMainForm::FileOpen1Execute() {
    if (listing_) return;
    TStepBlock block(this);

    QFileDialog dialog(this, QStringLiteral("Listing datoteka"), StartDirectory,
                       QStringLiteral("Listing datoteka (*.LST)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("LST"));
    dialog.selectFile(QFileInfo(ResolveFileName(StartDirectory + QStringLiteral("Temp$$.LST"))).fileName());
    if (gui::ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString name = ResolveFileName(dialog.selectedFiles().constFirst());

    QFile listing(name);
    if (!listing.open(QIODevice::ReadOnly | QIODevice::Text)) {
        gui::ShowOpenError(this);
        return;
    }
    if (!OpenListingWindow(name)) {
        gui::ShowOpenError(this);
        return;
    }
    if (LoadS19(QString::fromStdString(ObjectFileName(name.toStdString()))))
        mdi_->tileSubWindows();
    else
        gui::ShowOpenError(this);
    listing.close();

    ResetAddress = 0x0000;
    if (gui::ExecModal(*FormResetVek) == QDialog::Accepted && FormResetVek->ListBox1->currentRow() == 1)
        ResetAddress = 0xB600;
    ResetCpu();
}

bool TMainForm::OpenListingWindow(const QString& name) {
    if (listing_) {
        listing_->RichEdit1->setFocus();
        return true;
    }
    auto* child = new TMDIChild;
    // The caller reports the one message the system has for a file that fails.
    if (QFileInfo::exists(name) && !child->LoadFile(name, nullptr)) {
        delete child;
        return false;
    }
    child->setWindowTitle(name);
    gui::ConnectGuarded(child, &TMDIChild::CaretChanged, this, &TMainForm::UpdateCaretPosition);
    gui::ConnectGuarded(child, &QObject::destroyed, this, &TMainForm::ListingClosed);
    listing_ = child;
    QMdiSubWindow* sub = mdi_->addSubWindow(child);
    sub->resize(mdi_->size() * 0.8);
    sub->show();
    updateMenuitems();
    // Loading the text is a change of the listing: its caret is reported.
    UpdateCaretPosition();
    return true;
}

bool TMainForm::LoadS19(const QString& name) {
    if (!listing_) return true;
    std::string text;
    if (ReadTextFile(ResolveFileName(name).toStdString(), &text, nullptr) != TReadStatus::Okay) return false;
    LoadS19Text(text, MemoryImage);
    return true;
}

void TMainForm::ResetCpu() {
    ::ResetCpu(ResetAddress);
    RefreshToolWindows();
}

void TMainForm::Reset1Click() { ResetCpu(); }

void TMainForm::EEPROM1Click() { ClearCells(0xB600, 0xB7FF); }

void TMainForm::SFR1Click() { ClearCells(0x1000, 0x103F); }

void TMainForm::Osveiprogpomnilnik1Click() {
    ClearCells(0x0000, 0xFFFF);
    ResetCpu();
    if (!listing_) return;
    if (!LoadS19(QString::fromStdString(ObjectFileName(listing_->windowTitle().toStdString())))) {
        TStepBlock block(this);
        gui::ShowOpenError(this);
    }
    // The windows would show the cleared memory until the next step.
    RefreshToolWindows();
}

}  // namespace VantrelSIM

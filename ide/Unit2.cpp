#include "ide/Unit2.h"

#include "gui/Dialogs.h"
#include "gui/Guard.h"
#include "ide/ErrorScan.h"
#include "ide/Globals.h"
#include "ide/Unit1.h"

#include <QCheckBox>
#include <QTextEdit>
#include <QVBoxLayout>

namespace Vantrel {

TForm2::TForm2(QWidget* parent, TForm1* form1) : QWidget(parent), form1_(form1) {
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Odkrivanje napak"));
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    QPalette colours = RichEdit1->palette();
    colours.setColor(QPalette::Base, palette().color(QPalette::Window));
    RichEdit1->setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
    resize(360, 90);
}

void TForm2::ShowAndScan() {
    if (!isVisible() && parentWidget()) {
        // Over the lower right corner of the frame, clear of the tool bar
        // and the menus.
        const QWidget* frame = parentWidget();
        const QPoint corner = frame->mapToGlobal(QPoint(frame->width(), frame->height()));
        move(corner - QPoint(width() + 30, height() + 60));
    }
    show();
    raise();
    FormShow();
}

void TForm2::FormShow() {
    RichEdit1->clear();
    const TScanResult result =
        ScanListing(ListingName, ReportName, ObjectName, form1_ && form1_->CheckBox3->isChecked());
    if (!result.WindowLine.empty()) RichEdit1->append(QString::fromStdString(result.WindowLine));
    if (result.FileError) gui::ShowBox(this, TBoxKind::Error, QString::fromUtf8(ScanFileErrorText));
}

}  // namespace Vantrel

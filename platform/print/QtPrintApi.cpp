#include "platform/print/QtPrintApi.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QTextOption>

namespace printing {

namespace {

QFont toQFont(const PrintFont& font) {
    QFont result(QString::fromStdString(font.Family));
    result.setPointSize(font.PointSize > 0 ? font.PointSize : 10);
    result.setBold(font.Bold);
    result.setItalic(font.Italic);
    return result;
}

// One sheet's lines from its top left corner, in the painter's font.
void drawPage(QPainter& painter, const Page& page, qreal width) {
    const QFontMetrics metrics = painter.fontMetrics();
    const qreal lineHeight = metrics.height();
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    // Sources are laid out with tabs every eight columns.
    option.setTabStopDistance(8 * metrics.horizontalAdvance(QLatin1Char(' ')));
    qreal y = 0;
    for (const std::string& line : page) {
        painter.drawText(QRectF(0, y, width, lineHeight), QString::fromStdString(line), option);
        y += lineHeight;
    }
}

}  // namespace

QtPrintApi::QtPrintApi(QWidget* dialogParent) : printer_(QPrinter::HighResolution), dialogParent_(dialogParent) {}

void QtPrintApi::SetOutputFileName(const std::string& path) {
    if (path.empty()) {
        printer_.setOutputFileName({});
        printer_.setOutputFormat(QPrinter::NativeFormat);
        return;
    }
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(QString::fromStdString(path));
}

void QtPrintApi::SetSetupDialog(SetupDialog dialog) { setupDialog_ = std::move(dialog); }

bool QtPrintApi::PrinterSetup() {
    if (setupDialog_) return setupDialog_(printer_);
    QPrintDialog dialog(&printer_, dialogParent_);
    return dialog.exec() == QDialog::Accepted;
}

PageSize QtPrintApi::PageSizeFor(const PrintFont& font) {
    const QFontMetrics metrics(toQFont(font), &printer_);
    return PageSize{printer_.height(), metrics.height()};
}

QImage QtPrintApi::PreviewPage(const PrintFont& font, const Page& page, int dpi) {
    const QPageLayout layout = printer_.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    QImage image(paper.size(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::lightGray);
    painter.drawRect(printable.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.translate(printable.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), printable.size()));
    painter.setFont(toQFont(font));
    drawPage(painter, page, printable.width());
    return image;
}

bool QtPrintApi::PrintPages(const std::string& title, const PrintFont& font, const std::vector<Page>& pages,
                            std::string* error) {
    printer_.setDocName(QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&printer_)) {
        if (error) *error = "Tiskalnika ni mogoče odpreti.";
        return false;
    }
    painter.setFont(toQFont(font));
    bool ok = true;
    for (size_t p = 0; p < pages.size() && ok; ++p) {
        if (p > 0 && !printer_.newPage()) {
            if (error) *error = "Tiskalnik ni sprejel strani " + std::to_string(p + 1) + ".";
            ok = false;
            break;
        }
        drawPage(painter, pages[p], printer_.width());
    }
    if (!painter.end() && ok) {
        if (error) *error = "Tiskanje ni uspelo.";
        ok = false;
    }
    return ok;
}

}  // namespace printing

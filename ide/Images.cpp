#include "ide/Images.h"

#include <QPainter>

#include <functional>

namespace Vantrel {

namespace {

// Small drawn icons for the commands the style has none for.
QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

QIcon LetterIconImpl(const QString& text, const QColor& colour) {
    return DrawnIcon([&](QPainter& p) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(13);
        font.setBold(true);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
    });
}

QIcon PagesIcon(bool twoPages) {
    return DrawnIcon([=](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        if (twoPages) p.drawRect(QRectF(1.5, 1.5, 8, 10));
        p.drawRect(QRectF(twoPages ? 6.5 : 3.5, twoPages ? 4.5 : 1.5, 8, 10));
    });
}

QIcon PasteIconImpl() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(205, 160, 90));
        p.drawRect(QRectF(2.5, 2.5, 10, 12));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 6.5, 8, 8));
        p.setBrush(Qt::gray);
        p.drawRect(QRectF(5.5, 1.5, 4, 3));
    });
}

QIcon PrinterIconImpl() {
    return DrawnIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
    });
}

QIcon WindowsIconImpl(bool cascade) {
    return DrawnIcon([=](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        for (int i = 0; i < 2; ++i) {
            const QRectF r = cascade ? QRectF(1.5 + 4 * i, 1.5 + 4 * i, 10, 9) : QRectF(1.5, 1.5 + 7 * i, 13, 6);
            p.setBrush(Qt::white);
            p.drawRect(r);
            p.setBrush(QColor(40, 80, 170));
            p.drawRect(QRectF(r.left(), r.top(), r.width(), 2));
        }
    });
}

}  // namespace

QIcon ScissorsIcon() { return LetterIconImpl(QStringLiteral("✂"), Qt::black); }
QIcon CopyIcon() { return PagesIcon(true); }
QIcon PasteIcon() { return PasteIconImpl(); }
QIcon PrinterIcon() { return PrinterIconImpl(); }
QIcon WindowsIcon(bool cascade) { return WindowsIconImpl(cascade); }

QPixmap ProgrammerImage(bool found) {
    QPixmap pixmap(21, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A small board with a row of pins and a cable going off to the left.
    const QColor board = found ? QColor(30, 140, 60) : QColor(150, 150, 150);
    p.setPen(QPen(board.darker(150), 1));
    p.setBrush(board);
    p.drawRoundedRect(QRectF(6.5, 2.5, 13, 11), 2, 2);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(10.5, 5.5, 6, 5));
    p.setPen(QPen(found ? QColor(20, 20, 20) : QColor(120, 120, 120), 2));
    p.drawLine(QPointF(1, 8), QPointF(6, 8));
    if (!found) {
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(QPointF(2, 3), QPointF(8, 13));
        p.drawLine(QPointF(8, 3), QPointF(2, 13));
    }
    return pixmap;
}

}  // namespace Vantrel

#include "PrintRichText.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTextDocument>

#include <memory>

PrintedPages PrintRichText(QPrinter *printer, const QString &title, const QTextDocument *body, int leftMargin,
                           int topMargin, int rightMargin, int bottomMargin)
{
    PrintedPages result;
    QPainter painter;
    if (!painter.begin(printer))
        return result;
    const double perTwip = printer->resolution() / 1440.0;
    const auto px = [perTwip](double twips) { return twips * perTwip; };

    // Positions are measured from the printable area, whose corner lies at
    // the printer's physical offset from the paper's.
    const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer->pageRect(QPrinter::DevicePixel);
    const double offX = printable.left() - paper.left();
    const double offY = printable.top() - paper.top();
    const double L = std::max(0.0, px(leftMargin) - offX);
    const double T = std::max(0.0, px(topMargin) - offY);
    const double R = std::min(printable.width(), paper.width() - px(rightMargin) - offX);
    const double B = std::min(printable.height(), paper.height() - px(bottomMargin) - offY);

    QFont header(QStringLiteral("Arial"));
    header.setPointSizeF(10);
    const double titleHeight = QFontMetricsF(header, printer).height();
    const double H = T + titleHeight + px(40);
    const QRectF bodyRect(QPointF(L, H + px(300)), QPointF(R, B));

    const auto drawHeader = [&] {
        painter.save();
        painter.setFont(header);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(L, T, R - L, titleHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawLine(QPointF(L, H), QPointF(R, H));
        painter.restore();
    };

    // The body is laid out as on screen and drawn scaled to the printer, so
    // that indents, list markers and pictures keep their size on paper as
    // the text does; a page is the body rectangle.
    std::unique_ptr<QTextDocument> doc(body->clone());
    doc->setDocumentMargin(0);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    const double scale = printer->resolution() / (screenDpi > 0 ? screenDpi : 96.0);
    const double pageWidth = std::max(1.0, bodyRect.width() / scale);
    const double pageHeight = std::max(1.0, bodyRect.height() / scale);
    doc->setPageSize(QSizeF(pageWidth, pageHeight));
    // The layout always ends; a page count bounds the loop all the same.
    const int pages = std::max(1, doc->pageCount());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer->newPage())
            break;
        drawHeader();
        painter.save();
        painter.translate(bodyRect.left(), bodyRect.top());
        painter.scale(scale, scale);
        painter.translate(0, -page * pageHeight);
        const QRectF clip(0, page * pageHeight, pageWidth, pageHeight);
        painter.setClipRect(clip);
        doc->drawContents(&painter, clip);
        painter.restore();
        ++result.pages;
    }
    painter.end();
    result.ok = true;
    return result;
}

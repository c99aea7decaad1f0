#include "PrintRichText.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
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

    // The body laid out for the printer, a page being the body rectangle.
    std::unique_ptr<QTextDocument> doc(body->clone());
    doc->documentLayout()->setPaintDevice(printer);
    doc->setDocumentMargin(0);
    const double pageHeight = std::max(1.0, bodyRect.height());
    doc->setPageSize(QSizeF(std::max(1.0, bodyRect.width()), pageHeight));
    // The layout always ends; a page count bounds the loop all the same.
    const int pages = std::max(1, doc->pageCount());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer->newPage())
            break;
        drawHeader();
        painter.save();
        painter.translate(bodyRect.left(), bodyRect.top() - page * pageHeight);
        const QRectF clip(0, page * pageHeight, bodyRect.width(), pageHeight);
        painter.setClipRect(clip);
        doc->drawContents(&painter, clip);
        painter.restore();
        ++result.pages;
    }
    painter.end();
    result.ok = true;
    return result;
}

#include "PrintRichText.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Where each page of a laid-out body starts. Pages end between lines: a line
// that would cross a page's foot starts the next page, so that no line is cut
// in two and drawn on both; the lines of a table's other cells beside it are
// not cut either. A line taller than a page (a picture) has a page of its own.
std::vector<double> pageStarts(const QTextDocument &doc, double pageHeight)
{
    // Every line's top and bottom in the document: the lines of a table's
    // cells lie beside each other, and their layouts are placed in their
    // table rather than in the document.
    struct Line {
        double top, bottom;
    };
    std::vector<Line> lines;
    const QAbstractTextDocumentLayout *documentLayout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout || !block.isVisible())
            continue;
        const double origin = documentLayout->blockBoundingRect(block).top() - layout->boundingRect().top();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.push_back({origin + line.y(), origin + line.y() + line.height()});
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) { return a.top < b.top; });
    std::vector<double> starts{0.0};
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        if (line.bottom > starts.back() + pageHeight && line.top > starts.back()) {
            // Moved up past any line it would cut; the lines that could
            // start above it are those of this page, just before it.
            double at = line.top;
            for (bool moved = true; moved;) {
                moved = false;
                for (size_t k = i; k-- > 0 && lines[k].top > starts.back();)
                    if (lines[k].top < at && lines[k].bottom > at) {
                        at = lines[k].top;
                        moved = true;
                    }
            }
            starts.push_back(at);
        }
        if (line.bottom > starts.back() + pageHeight)
            starts.push_back(line.bottom);  // past a line taller than a page
    }
    return starts;
}

// The page's frame, in printer pixels: the title's line and the body's
// rectangle within the margins (twips, from the paper's edges).
struct PageFrame {
    QRectF title;
    double rule;  // the line under the title
    QRectF body;
};

PageFrame pageFrame(QPrinter *printer, const QFont &header, int leftMargin, int topMargin, int rightMargin,
                    int bottomMargin)
{
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
    const double titleHeight = QFontMetricsF(header, printer).height();
    const double H = T + titleHeight + px(40);
    return {QRectF(L, T, R - L, titleHeight), H, QRectF(QPointF(L, H + px(300)), QPointF(R, B))};
}

} // namespace

PrintedPages PrintRichText(QPrinter *printer, const QString &title, const QTextDocument *body, int leftMargin,
                           int topMargin, int rightMargin, int bottomMargin)
{
    PrintedPages result;
    QPainter painter;
    if (!painter.begin(printer))
        return result;
    QFont header(QStringLiteral("Arial"));
    header.setPointSizeF(10);
    const PageFrame frame = pageFrame(printer, header, leftMargin, topMargin, rightMargin, bottomMargin);
    const auto drawHeader = [&] {
        painter.save();
        painter.setFont(header);
        painter.setPen(Qt::black);
        painter.drawText(frame.title, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawLine(QPointF(frame.title.left(), frame.rule), QPointF(frame.title.right(), frame.rule));
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
    const double pageWidth = std::max(1.0, frame.body.width() / scale);
    const double pageHeight = std::max(1.0, frame.body.height() / scale);
    doc->setPageSize(QSizeF(pageWidth, pageHeight));
    doc->pageCount();  // lays the whole body out

    std::vector<double> starts = pageStarts(*doc, pageHeight);
    const double end = std::max(starts.back(), doc->documentLayout()->documentSize().height());
    if (starts.size() > 1 && starts.back() >= end)
        starts.pop_back();
    for (size_t page = 0; page < starts.size(); ++page) {
        if (page > 0 && !printer->newPage())
            break;
        const double top = starts[page];
        const double bottom = page + 1 < starts.size() ? starts[page + 1] : std::max(top + pageHeight, end);
        drawHeader();
        painter.save();
        painter.translate(frame.body.left(), frame.body.top());
        painter.scale(scale, scale);
        painter.translate(0, -top);
        // A line touching the page's edge from outside is drawn by the
        // layout too: the clip stays a hair inside.
        const double hair = 0.01;
        const QRectF clip(0, top + hair, pageWidth, std::min(bottom - top, pageHeight) - 2 * hair);
        painter.setClipRect(clip);
        doc->drawContents(&painter, clip);
        painter.restore();
        ++result.pages;
    }
    painter.end();
    result.ok = true;
    return result;
}

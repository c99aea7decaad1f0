#include "TextFit.h"

#include <QComboBox>
#include <QLabel>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace textfit {

namespace {

// The title bar's icon, three buttons and margins.
constexpr int kTitleBarChrome = 110;

} // namespace

QString shownText(QString text)
{
    // A mnemonic's "&" is not drawn; "&&" draws one "&".
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

int neededWidth(const QWidget *w)
{
    if (const auto *l = qobject_cast<const QLabel *>(w); l && !l->wordWrap() && !l->text().isEmpty()) {
        const QMargins m = l->contentsMargins();
        return l->fontMetrics().horizontalAdvance(shownText(l->text())) + m.left() + m.right() + 2 * l->margin();
    }
    if (const auto *c = qobject_cast<const QComboBox *>(w); c && c->count() > 0) {
        int widest = 0;
        for (int i = 0; i < c->count(); ++i)
            widest = std::max(widest, c->fontMetrics().horizontalAdvance(c->itemText(i)));
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        return c->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(widest, c->fontMetrics().height()), c)
            .width();
    }
    return w->width();
}

void fitRow(std::initializer_list<QWidget *> row)
{
    int reached = 0;  // the right edge of the widget before
    int i = 0;
    for (QWidget *w : row) {
        const bool last = ++i == int(row.size());
        QRect g = w->geometry();
        const int right = g.right();
        g.moveLeft(std::max(g.left(), reached));
        g.setWidth(std::max(g.width(), neededWidth(w)));
        if (last && g.right() < right)
            g.setRight(right);
        w->setGeometry(g);
        reached = g.right() + 1;
    }
}

int titleWidth(const QWidget *window, const QString &title)
{
    QFont bold = window->font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kTitleBarChrome;
}

} // namespace textfit

#pragma once
// Documents as the RTF tests compare them.
#include "QtPrinters.h"
#include "Rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// What each paragraph shows: alignment, where its text begins (margin and
// indent levels together), first-line indent and list (0 outside one; its
// style and which list it is, counted from 0), then each run's text, font,
// size, bold, italic, underline, strike and colour.
inline QStringList paragraphsOf(const QTextDocument &doc)
{
    const auto number = [](double x) { return QString::number(x, 'g', 17); };
    QList<const QTextList *> lists;
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat p = b.blockFormat();
        const QTextList *list = b.textList();
        if (list && !lists.contains(list))
            lists << list;
        const double levels = p.indent() + (list ? list->format().indent() : 0);
        QString shown = u"%1 %2 %3 %4:"_s.arg(QString::number(int(p.alignment() & Qt::AlignHorizontal_Mask)),
                                              number(p.leftMargin() + levels * doc.indentWidth()), number(p.textIndent()),
                                              list ? u"%1#%2"_s.arg(int(list->format().style())).arg(lists.indexOf(list)) : u"0"_s);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString flags = QString::number(f.fontWeight() >= QFont::Bold) + QString::number(f.fontItalic())
                + QString::number(f.fontUnderline()) + QString::number(f.fontStrikeOut());
            shown += u" [%1|%2 %3 %4 %5]"_s.arg(it.fragment().text(), f.fontFamilies().toStringList().value(0), number(f.fontPointSize()), flags,
                                                f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : u"-"_s);
        }
        out << shown;
    }
    return out;
}

// The character format at the first letter of word.
inline QTextCharFormat formatAt(const QTextDocument &doc, const QString &word)
{
    const qsizetype at = doc.toPlainText().indexOf(word);
    EXPECT_GE(at, 0) << word.toStdString();
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(int(at) + 1);
    return c.charFormat();
}

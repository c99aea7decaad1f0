#pragma once
// Room for texts. The fixed layout was drawn for another system font: here a
// caption or a list may need a few pixels more than its place gives it.

#include <QString>

#include <initializer_list>

class QWidget;

namespace textfit {

// A caption as drawn: a mnemonic's "&" is not shown, "&&" shows one "&".
QString shownText(QString text);

// The width a label or drop-down list needs to show its text (for a list, its
// widest entry) whole; other widgets: their width.
int neededWidth(const QWidget *w);

// Widens the widgets of one row, left to right, to what their text needs;
// each keeps its place unless the one before it now reaches it, and the last
// keeps its right edge (a text box stretching to the window's edge).
void fitRow(std::initializer_list<QWidget *> row);

// The smallest width of a window whose title the window manager shows whole
// beside its icon and buttons.
int titleWidth(const QWidget *window, const QString &title);

} // namespace textfit

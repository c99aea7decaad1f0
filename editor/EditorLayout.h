#pragma once
// Where the editor window's controls go for an outer window size, in twips.

#include <QHash>
#include <QRectF>
#include <QString>

struct EditorLayout {
    // Control name -> rectangle (twips, in the window's client area). A
    // control missing here keeps its place: its placement could not apply;
    // a negative height means only the height could not.
    QHash<QString, QRectF> rects;
    QRectF rect(const char *name) const { return rects.value(QString::fromLatin1(name)); }
    bool has(const char *name) const { return rects.contains(QString::fromLatin1(name)); }
};

// The layout for outer width W and height H.
EditorLayout computeEditorLayout(double W, double H);

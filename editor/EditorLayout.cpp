#include "EditorLayout.h"

#include <algorithm>

EditorLayout computeEditorLayout(double W, double H)
{
    EditorLayout l;
    const auto put = [&l](const char *name, double left, double top, double width, double height) {
        l.rects.insert(QString::fromLatin1(name), QRectF(left, top, width, height));
    };
    // The button row, 1250 twips above the bottom edge, right-aligned.
    const double rowTop = H - 1250;
    const double saveLeft = W - 2340;
    put("cmdSalva", saveLeft, rowTop, 975, 360);
    put("cmdAnnulla", W - 1260, rowTop, 975, 360);
    put("labModifica", 150, rowTop, std::max(0.0, saveLeft - 1080 - 150 - 60), 360);
    // The title box stretches to 930 twips short of the right edge.
    put("labTitolo", 120, 210, 525, 240);
    put("txtArgomento", 645, 90, std::max(0.0, W - 930), 390);
    put("frmScritte", 90, 510, 7275, 750);
    put("frmPulsanti", 45, 510, 7305, 735);
    // The body fills the space between the strip and the button row; the
    // alarm panel covers it with a small border.
    const double bodyWidth = std::max(0.0, W - 425);
    const double bodyHeight = H - 2600 > 0 ? H - 2600 : 0;
    put("rtfContenuto", 155, 1260, bodyWidth, bodyHeight);
    const double frameWidth = bodyWidth + 100;
    const double F = bodyHeight + 150;
    put("frmAllarme", 120, 1185, frameWidth, F);
    // A height below zero cannot be given: the calendar then takes only its
    // width (a negative height here).
    put("Calendar1", 0, -15, frameWidth, F - 600 >= 0 ? F - 600 : -1);
    put("labOra", 90, F - 585, 540, 270);
    put("cmbOre", 585, F - 630, 600, 330);
    put("cmbMinuti", 1185, F - 630, 600, 330);
    put("labTipo", 2010, F - 570, 435, 270);
    put("cmbTipoAllarme", 2460, F - 630, 1725, 330);
    put("cmdTimer", saveLeft - 1080, rowTop, 975, 360);
    return l;
}

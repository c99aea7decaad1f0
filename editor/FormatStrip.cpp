#include "FormatStrip.h"
#include "Str.h"

#include "Pictures.h"
#include "Session.h"
#include "Twips.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

namespace {
// The string of each toolbar position's command (its legend text).
constexpr int kCommandText[24] = {
    0, Str::LegendExport, Str::LegendPrint, 0, Str::LegendCut, Str::LegendCopy, Str::LegendPaste, 0,
    Str::LegendBold, Str::LegendItalic, Str::LegendUnderline, 0, Str::LegendIndent, Str::LegendOutdent,
    Str::LegendBullets, 0, Str::LegendLeft, Str::LegendCenter, Str::LegendRight, 0, Str::LegendFont,
    Str::LegendBigger, Str::LegendSmaller, Str::LegendColour};
// The legend's letters in their order on screen, four to a column.
constexpr int kLegendText[16] = {
    Str::LegendBold,   Str::LegendItalic, Str::LegendUnderline, Str::LegendCut,
    Str::LegendIndent, Str::LegendOutdent, Str::LegendBullets,  Str::LegendCopy,
    Str::LegendLeft,   Str::LegendCenter, Str::LegendRight,     Str::LegendPaste,
    Str::LegendFont,   Str::LegendBigger, Str::LegendSmaller,   Str::LegendColour};
} // namespace

FormatStrip::FormatStrip(Session &session, QWidget *client) : QObject(client), m_session(session)
{
    c.buttonsFrame = new QWidget(client);
    c.toolbar = new QToolBar(c.buttonsFrame);
    c.toolbar->setIconSize(QSize(twips::toPixels(240), twips::toPixels(240)));
    // Twenty-three buttons share the strip's fixed width: keep them tight.
    c.toolbar->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; } "
                                            "QToolButton { padding: 1px; margin: 0px; }"));
    c.toolbar->setGeometry(twips::rect(0, 0, 7305 - 300, 735));
    c.closeButtons = new QToolButton(c.buttonsFrame);
    c.closeButtons->setAutoRaise(true);
    c.closeButtons->setArrowType(Qt::UpArrow);
    c.closeButtons->setGeometry(twips::rect(7305 - 285, 60, 255, 255));
    buildToolbar();
    buildLegend(client);
    connect(c.closeButtons, &QToolButton::clicked, this, [this] { choose(false); });
    connect(c.openButtons, &QToolButton::clicked, this, [this] { choose(true); });
}

void FormatStrip::buildToolbar()
{
    // 23 positions; 3, 7, 11, 15 and 19 are separators, the others take
    // pictures 1 to 18 in order, and the names the toolbar's handler knows.
    static const char *const keys[24] = {nullptr,   "Esporta",     "Stampa",         nullptr,     "Taglia",
                                         "Copia",   "Incolla",     nullptr,          "Grassetto", "Corsivo",
                                         "Sottolineato", nullptr,  "Rientro",        "EliminaRientro",
                                         "ElencoPuntato", nullptr, "Sinistra",       "Centro",    "Destra",
                                         nullptr,   "Font",        "Ingrandisci",    "Rimpicciolisci", "Colore"};
    int pictureIndex = 1;
    for (size_t position = 1; position <= 23; ++position) {
        if (!keys[position]) {
            c.toolbar->addSeparator();
            continue;
        }
        QAction *button =
            c.toolbar->addAction(picture(QStringLiteral("editor%1").arg(pictureIndex++, 2, 10, QLatin1Char('0'))), QString());
        button->setData(QString::fromLatin1(keys[position]));
        c.buttons[position] = button;
    }
    // Pressed while the text at the insertion point has the format.
    for (size_t i : {8, 9, 10, 14, 16, 17, 18})
        c.buttons[i]->setCheckable(true);
}

void FormatStrip::buildLegend(QWidget *client)
{
    // A Ctrl key, a plus sign, then the letters and their commands.
    c.legendFrame = new QWidget(client);
    c.ctrlKey = new QLabel(QStringLiteral("Ctrl"), c.legendFrame);
    c.ctrlKey->setAlignment(Qt::AlignCenter);
    c.ctrlKey->setFrameShape(QFrame::Panel);
    c.ctrlKey->setFrameShadow(QFrame::Raised);
    c.ctrlKey->setGeometry(twips::rect(0, 150, 540, 420));
    c.plus = new QLabel(QStringLiteral("+"), c.legendFrame);
    QFont plus = c.plus->font();
    plus.setBold(true);
    plus.setPointSizeF(plus.pointSizeF() * 1.4);
    c.plus->setFont(plus);
    c.plus->setGeometry(twips::rect(600, 150, 240, 420));
    for (size_t k = 0; k < c.legend.size(); ++k) {
        QLabel *l = c.legend[k] = new QLabel(c.legendFrame);
        QFont small = l->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        l->setFont(small);
        l->setGeometry(twips::rect(900 + int(k / 4) * 1500, int(k % 4) * 185, 1500, 185));
    }
    c.openButtons = new QToolButton(c.legendFrame);
    c.openButtons->setAutoRaise(true);
    c.openButtons->setArrowType(Qt::DownArrow);
    c.openButtons->setGeometry(twips::rect(7275 - 285, 60, 255, 255));
    c.legendFrame->hide();
}

void FormatStrip::caption()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    for (size_t k = 0; k < c.legend.size(); ++k)
        c.legend[k]->setText(s(kLegendText[k]));
    const QString ctrl = QStringLiteral("Ctrl-");
    for (size_t b = 1; b <= 23; ++b) {
        if (!c.buttons[b])
            continue;
        // Export and print have tooltips of their own; the others are the
        // legend texts behind "Ctrl-".
        c.buttons[b]->setToolTip(b <= 2 ? s(kCommandText[b]) : ctrl + s(kCommandText[b]));
        // A picture alone says nothing to a screen reader.
        if (QWidget *button = c.toolbar->widgetForAction(c.buttons[b]))
            button->setAccessibleName(s(kCommandText[b]));
    }
    c.closeButtons->setToolTip(s(Str::HideButtonsTip));
    c.closeButtons->setAccessibleName(s(Str::HideButtonsTip));
    c.openButtons->setToolTip(s(Str::ShowButtonsTip));
    c.openButtons->setAccessibleName(s(Str::ShowButtonsTip));
}

void FormatStrip::showButtons(bool buttons)
{
    c.buttonsFrame->setVisible(buttons);
    c.legendFrame->setVisible(!buttons);
}

void FormatStrip::choose(bool buttons)
{
    showButtons(buttons);
    // A choice not kept only leaves the next editor with the last one.
    static_cast<void>(m_session.settings.setShowButtons(buttons));
}

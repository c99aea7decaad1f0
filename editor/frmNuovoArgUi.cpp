// Building the editor window's controls and applying their captions.

#include "frmNuovoArg.h"
#include "Str.h"

#include "AlarmPanel.h"
#include "EditorLayout.h"
#include "FindBar.h"
#include "FormatStrip.h"
#include "FramedSize.h"
#include "Pictures.h"
#include "Session.h"
#include "TextFit.h"
#include "Twips.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

void frmNuovoArg::buildControls()
{
    // Controls are placed by Form_Resize, from the window's size.
    auto *client = new QWidget(this);
    setCentralWidget(client);

    labTitolo = new QLabel(client);
    txtArgomento = new QLineEdit(client);
    txtArgomento->setObjectName(QStringLiteral("txtArgomento"));
    labTitolo->setBuddy(txtArgomento);

    m_strip = new FormatStrip(m_session, client);
    const FormatStrip::Controls &strip = m_strip->controls();
    frmPulsanti = strip.buttonsFrame;
    Toolbar1 = strip.toolbar;
    ToolbarButtons = strip.buttons;
    imgChiudi = strip.closeButtons;
    frmScritte = strip.legendFrame;
    Image1 = strip.ctrlKey;
    Label2 = strip.plus;
    imgApri = strip.openButtons;
    std::tie(labGrassetto, labCorsivo, labSottolineato, labTaglia, labRientro, labAnnullaRientro, labElencoPuntato,
             labCopia, labSinistra, labCentro, labDestra, labIncolla, labFont, labIngrandisci, labRimpicciolisci,
             labColore) = std::tuple_cat(strip.legend);

    rtfContenuto = new QTextEdit(client);
    rtfContenuto->setObjectName(QStringLiteral("rtfContenuto"));
    rtfContenuto->setAcceptRichText(true);
    // Below the body while open; it takes its height from the body's.
    barTrova = new FindBar(m_session, rtfContenuto, client);
    connect(barTrova, &FindBar::visibilityChanged, this, &frmNuovoArg::Form_Resize);

    labModifica = new QLabel(client);
    cmdTimer = new QToolButton(client);
    cmdTimer->setIcon(picture(QStringLiteral("timer")));
    // The alarm panel lies over the body and is hidden until asked for.
    m_alarm = std::make_unique<AlarmPanel>(m_session, client, cmdTimer, rtfContenuto);
    const AlarmPanel::Controls &panel = m_alarm->controls();
    frmAllarme = panel.panel;
    Calendar1 = panel.date;
    labOra = panel.hoursLabel;
    cmbOre = panel.hours;
    cmbMinuti = panel.minutes;
    labTipo = panel.typeLabel;
    cmbTipoAllarme = panel.type;
    cmdSalva = new QPushButton(client);
    cmdAnnulla = new QPushButton(client);

    setTabOrder(txtArgomento, rtfContenuto);
    setTabOrder(rtfContenuto, cmdTimer);
    setTabOrder(cmdTimer, cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);
}

void frmNuovoArg::Form_Resize()
{
    if (isMinimized())
        return;
    const EditorLayout l = computeEditorLayout(twips::fromPixels(frameGeometry().width()),
                                               twips::fromPixels(frameGeometry().height()));
    const auto place = [&l](QWidget *w, const char *name) {
        if (!l.has(name))
            return;  // a placement that cannot apply is skipped
        const QRectF r = l.rect(name);
        QRect g = twips::rect(int(r.left()), int(r.top()), int(r.width()), int(std::max(0.0, r.height())));
        if (r.height() < 0)
            g.setHeight(w->height());  // the height cannot be applied: kept
        w->setGeometry(g);
    };
    place(cmdSalva, "cmdSalva");
    place(cmdAnnulla, "cmdAnnulla");
    place(labModifica, "labModifica");
    place(labTitolo, "labTitolo");
    place(txtArgomento, "txtArgomento");
    place(frmScritte, "frmScritte");
    place(frmPulsanti, "frmPulsanti");
    place(rtfContenuto, "rtfContenuto");
    if (barTrova->isVisible()) {
        const QRect body = rtfContenuto->geometry();
        const int h = barTrova->sizeHint().height();
        const int gap = twips::toPixels(60);
        rtfContenuto->resize(body.width(), std::max(0, body.height() - h - gap));
        barTrova->setGeometry(body.left(), rtfContenuto->geometry().bottom() + 1 + gap, body.width(), h);
    }
    place(frmAllarme, "frmAllarme");
    place(Calendar1, "Calendar1");
    place(labOra, "labOra");
    place(cmbOre, "cmbOre");
    place(cmbMinuti, "cmbMinuti");
    place(labTipo, "labTipo");
    place(cmbTipoAllarme, "cmbTipoAllarme");
    place(cmdTimer, "cmdTimer");
    FitTexts();
}

void frmNuovoArg::FitTexts()
{
    textfit::fitRow({labTitolo, txtArgomento});
    textfit::fitRow({labOra, cmbOre, cmbMinuti, labTipo, cmbTipoAllarme});
}

void frmNuovoArg::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmNuovoArg::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_size->shown();
    Form_Resize();
}

void frmNuovoArg::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    m_size->moved();
}

void frmNuovoArg::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Restoring from minimized lays the window out again.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmNuovoArg::SetToolbarVisible(bool buttons)
{
    m_strip->showButtons(buttons);
}

void frmNuovoArg::imgChiudi_Click()
{
    m_strip->choose(false);
}

void frmNuovoArg::imgApri_Click()
{
    m_strip->choose(true);
}

void frmNuovoArg::buildMenus()
{
    mnuFile = menuBar()->addMenu(QString());
    mnuEsporta = mnuFile->addAction(QString());
    mnuStampa = mnuFile->addAction(QString());
    mnuModificaNA = menuBar()->addMenu(QString());
    mnuAnnullaNA = mnuModificaNA->addAction(QString());
    mnuTagliaNA = mnuModificaNA->addAction(QString());
    mnuCopiaNA = mnuModificaNA->addAction(QString());
    mnuIncollaNA = mnuModificaNA->addAction(QString());
    mnuModificaNA->addSeparator();
    // Keys no other command of the window takes; window-wide, so they work
    // from the body, the title and the bar alike.
    mnuTrovaNA = mnuModificaNA->addAction(QString());
    mnuTrovaNA->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuTrovaSuccessivoNA = mnuModificaNA->addAction(QString());
    mnuTrovaSuccessivoNA->setShortcut(QKeySequence(Qt::Key_F8));
    mnuTrovaPrecedenteNA = mnuModificaNA->addAction(QString());
    mnuTrovaPrecedenteNA->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
    mnuModificaNA->addSeparator();
    mnuCronologiaNA = mnuModificaNA->addAction(QString());
    mnuCronologiaNA->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
}

void frmNuovoArg::AggiornaLingua()
{
    const auto s = [this](int id) { return m_session.GetString(id); };
    mnuFile->setTitle(s(Str::EditorMenuFile));
    mnuEsporta->setText(s(Str::EditorMenuExport));
    mnuStampa->setText(s(Str::EditorMenuPrint));
    mnuModificaNA->setTitle(s(Str::EditorMenuEdit));
    mnuAnnullaNA->setText(s(Str::EditorMenuUndo));
    mnuTagliaNA->setText(s(Str::EditorMenuCut));
    mnuCopiaNA->setText(s(Str::EditorMenuCopy));
    mnuIncollaNA->setText(s(Str::EditorMenuPaste));
    mnuTrovaNA->setText(s(Str::EditorMenuFind));
    mnuTrovaSuccessivoNA->setText(s(Str::EditorMenuFindNext));
    mnuTrovaPrecedenteNA->setText(s(Str::EditorMenuFindPrevious));
    mnuCronologiaNA->setText(s(Str::EditorMenuHistory));
    barTrova->AggiornaLingua();
    labTitolo->setText(s(Str::TitleLabel));
    txtArgomento->setToolTip(s(Str::TitleTip));
    cmdSalva->setText(s(Str::SaveCaption));
    cmdSalva->setToolTip(s(Str::SaveTip));
    cmdAnnulla->setText(s(Str::AbortCaption));
    cmdAnnulla->setToolTip(s(Str::AbortTip));
    cmdTimer->setToolTip(s(Str::AlarmButtonTip));
    // Controls without a caption of their own still need a name a screen
    // reader can say.
    cmdTimer->setAccessibleName(s(Str::AlarmButtonTip));
    rtfContenuto->setAccessibleName(s(Str::BodyName));
    m_alarm->caption();
    m_strip->caption();

    if (txtArgomento->text().trimmed().isEmpty())
        setWindowTitle(s(Str::NewTopicTitle));

    const QString current = labModifica->text();
    const qsizetype colon = current.indexOf(QLatin1Char(':'));
    const QString stamp = colon >= 0 ? current.mid(colon + 2) : QString();
    labModifica->setText(m_recoveredAt.isValid() ? recoveredText() : s(Str::LastUpdate) + stamp);
    FitTexts();
}


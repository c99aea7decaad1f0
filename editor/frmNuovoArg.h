#pragma once
// The editor window: one topic, its title and rich-text body, saved back to
// the store or abandoned.

#include "Forms.h"
#include "notes/Drafts.h"
#include "db/WallTime.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>

#include <array>

class FindBar;
class QAction;
class QCalendarWidget;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class Session;

class frmNuovoArg final : public QMainWindow, public TopicWindow {
    Q_OBJECT
public:
    // Opens the topic topicId (-1: a new topic) of categoryId; the load step
    // runs here.
    frmNuovoArg(Session &session, int topicId, int categoryId);
    // A new editor brought forward; the keyboard goes to its body, or for a
    // new topic (-1) to its title.
    static frmNuovoArg *Open(Session &session, int topicId, int categoryId);
    ~frmNuovoArg() override;

    // Public fields read and written by name from outside.
    int idArgomento = -1;
    int idCategoria = -1;
    int NumFinestra = -1;
    bool IsLoading = false;
    // The alarm's next time as set: a time of day that local time skips on
    // the spring night is kept, and rings at the first moment after the skip.
    store::WallTime AlarmDateTime;
    int AlarmType = 0;

    void AggiornaLingua() override;
    bool ProvaChiusura() override;
    int topicId() const override { return idArgomento; }
    int categoryId() const override { return idCategoria; }
    int windowNumber() const override { return NumFinestra; }
    QString title() const override;

    // A proposed file name: the title without the characters a file name
    // cannot hold.
    static QString TitleToFileName(const QString &title);

    // Shows, raises and activates the window; the keyboard goes to the
    // control that last had it, the title box at first.
    void BringForward() override;

    void cmdSalva_Click();
    void cmdAnnulla_Click();
    void txtArgomento_Change();

    // Formatting of the body.
    // Runs the command of a Ctrl-letter code (Ctrl+B = 2 ...); returns true
    // when the key is used up (the font dialog).
    void FormatCommand(int code);
    void RefreshFormatButtons();
    void ApplyEditorFont();
    void Toolbar1_ButtonClick(QAction *button);
    void mnuAnnullaNA_Click();
    void mnuTagliaNA_Click();
    void mnuCopiaNA_Click();
    void mnuIncollaNA_Click();
    // The alarm panel.
    void cmdTimer_Click();
    void FillAlarmPanel();
    void ReadAlarmPanel();
    // The time the panel shows, as the clock reads it.
    store::WallTime PanelAlarmTime() const;
    void ShowAlarmIndicator();
    // The alarm rang and was moved on in the store: the editor shows where
    // it now stands, whatever else it holds unsaved.
    void AlarmMovedOn(int type, const store::WallTime &time) override;

    // Drafts: the editor's unsaved state written down a little after each
    // change, so that it survives the program ending without a save.
    // Writes it now if anything changed since the last one; false when the
    // store refused (it is tried again later).
    bool WriteDraft() override;
    // Takes a draft found at start as this editor's unsaved change.
    void AdoptDraft(const notes::Draft &draft);
    qint64 DraftId() const { return m_draftId; }

    // Layout and the toolbar-or-legend strip.
    void Form_Resize();
    // Captions and the alarm lists get the room their text needs.
    void FitTexts();
    void imgChiudi_Click();
    void imgApri_Click();
    void SetToolbarVisible(bool buttons);
    // Export and print.
    void mnuEsporta_Click();
    void mnuStampa_Click();
    // Find inside the topic: the bar opened with the selected word (Ctrl+E),
    // and the next and previous occurrence (F8, Shift+F8).
    void mnuTrovaNA_Click();
    void mnuTrovaSuccessivoNA_Click();
    void mnuTrovaPrecedenteNA_Click();
    // Opened from Find in topics: the pattern's occurrences shown, the
    // first one in view.
    void ShowFound(const QString &pattern);

    // Controls.
    QLabel *labTitolo = nullptr;
    QLineEdit *txtArgomento = nullptr;
    QTextEdit *rtfContenuto = nullptr;
    QLabel *labModifica = nullptr;
    QPushButton *cmdSalva = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QToolButton *cmdTimer = nullptr;
    QWidget *frmAllarme = nullptr;
    QCalendarWidget *Calendar1 = nullptr;
    QLabel *labOra = nullptr;
    QComboBox *cmbOre = nullptr;
    QComboBox *cmbMinuti = nullptr;
    QLabel *labTipo = nullptr;
    QComboBox *cmbTipoAllarme = nullptr;
    QWidget *frmPulsanti = nullptr;
    QToolBar *Toolbar1 = nullptr;
    std::array<QAction *, 24> ToolbarButtons{};  // 1..23; separators are null
    QWidget *frmScritte = nullptr;
    QLabel *Image1 = nullptr;  // the Ctrl key of the legend
    QLabel *Label2 = nullptr;  // its plus sign
    QToolButton *imgApri = nullptr;
    QToolButton *imgChiudi = nullptr;
    QLabel *labTaglia = nullptr, *labCopia = nullptr, *labIncolla = nullptr, *labColore = nullptr;
    QLabel *labGrassetto = nullptr, *labCorsivo = nullptr, *labSottolineato = nullptr;
    QLabel *labRientro = nullptr, *labAnnullaRientro = nullptr, *labElencoPuntato = nullptr;
    QLabel *labSinistra = nullptr, *labCentro = nullptr, *labDestra = nullptr;
    QLabel *labFont = nullptr, *labIngrandisci = nullptr, *labRimpicciolisci = nullptr;
    QMenu *mnuFile = nullptr;
    QAction *mnuEsporta = nullptr, *mnuStampa = nullptr;
    QMenu *mnuModificaNA = nullptr;
    QAction *mnuAnnullaNA = nullptr, *mnuTagliaNA = nullptr, *mnuCopiaNA = nullptr, *mnuIncollaNA = nullptr;
    QAction *mnuTrovaNA = nullptr, *mnuTrovaSuccessivoNA = nullptr, *mnuTrovaPrecedenteNA = nullptr;
    FindBar *barTrova = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    void connectFormatting();
    bool rtfContenuto_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool eventFilterBody(QEvent *event);
    void fontDialog();
    void colourDialog();
    void Form_Load(int topicId, int categoryId);
    void connectDrafts();
    void connectFind();
    void DraftChanged();
    bool HasUnsavedChanges() const;
    void saveStripChoice(bool buttons);
    void Form_Unload();
    QString bodyPlainText() const;
    QString stampText(const QDateTime &when) const;
    // The status line of an editor filled from a recovered draft.
    QString recoveredText() const;

    Session &m_session;
    QTimer *m_draftTimer = nullptr;
    QElapsedTimer m_draftSince;  // since the first change not yet written down
    qint64 m_draftId = -1;
    bool m_draftDirty = false;
    int m_draftFailures = 0;
    // The editor's state as loaded, to tell whether it holds changes.
    QString m_loadedTitle;
    int m_loadedAlarmType = 0;
    store::WallTime m_loadedAlarmTime;
    QDateTime m_loadedUpdated;
    // When the draft this editor was filled from was taken; invalid when none.
    QDateTime m_recoveredAt;
    // The body as loaded, to tell a change of formatting alone.
    QString m_loadedBody;
    QString m_loadedText;  // its plain text
    bool m_unloaded = false;
    bool m_loadFailed = false;  // the stored topic could not be read
    QSize m_outerSize;  // the remembered outer size, applied when first shown
    // Until the window manager has framed the window, its frame is unknown:
    // the outer size is applied again once it is, shortly after showing.
    QSize m_outerPending;
    QElapsedTimer m_shownAt;
};

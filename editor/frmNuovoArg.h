#pragma once
// The editor window: one topic, its title and rich-text body, saved back to
// the store or abandoned. Each handler hands its work to the part that does
// it: the body's formatting, the alarm panel, the draft, the find bar, the
// export and the print, the layout.

#include "Forms.h"
#include "db/WallTime.h"
#include "notes/Drafts.h"

#include <QDateTime>
#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class AlarmPanel;
class BodyFormatting;
class DraftWriter;
class FindBar;
class FormatStrip;
class FramedSize;
class QAction;
class QCalendarWidget;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
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

    void AggiornaLingua() override;
    bool ProvaChiusura() override;
    int topicId() const override { return m_topic; }
    int categoryId() const override { return m_category; }
    int windowNumber() const override { return m_number; }
    QString title() const override;
    // Shows, raises and activates the window; the keyboard goes to the
    // control that last had it, the title box at first.
    void BringForward() override;
    bool WriteDraft() override;
    void AlarmMovedOn(int type, const store::WallTime &time) override;

    // The topic's alarm as the editor holds it.
    const AlarmPanel &alarm() const { return *m_alarm; }
    // Takes a draft found at start as this editor's unsaved change.
    void AdoptDraft(const notes::Draft &draft);
    qint64 DraftId() const;
    // Opened from Find in topics: the pattern's occurrences shown, the
    // first one in view.
    void ShowFound(const QString &pattern);

    // Handlers.
    void cmdSalva_Click();
    void cmdAnnulla_Click();
    void txtArgomento_Change();
    void cmdTimer_Click();
    // Runs the command of a Ctrl-letter code (Ctrl+B = 2 ...).
    void FormatCommand(int code);
    void Toolbar1_ButtonClick(QAction *button);
    void mnuAnnullaNA_Click();
    void mnuTagliaNA_Click();
    void mnuCopiaNA_Click();
    void mnuIncollaNA_Click();
    void mnuEsporta_Click();
    void mnuStampa_Click();
    // Find inside the topic: the bar opened with the selected word (Ctrl+E),
    // and the next and previous occurrence (F8, Shift+F8).
    void mnuTrovaNA_Click();
    void mnuTrovaSuccessivoNA_Click();
    void mnuTrovaPrecedenteNA_Click();
    // The topic's earlier versions, to restore one.
    void mnuCronologiaNA_Click();
    void Form_Resize();
    void imgChiudi_Click();
    void imgApri_Click();
    void SetToolbarVisible(bool buttons);

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
    QAction *mnuCronologiaNA = nullptr;
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
    void connectHandlers();
    void Form_Load(int topicId, int categoryId);
    // Reads the stored topic into the window; false when it could not be.
    bool loadTopic();
    // The state as loaded, to tell later whether anything changed.
    void rememberLoaded();
    void Form_Unload();
    // The unsaved state as a draft; nothing when nothing changed.
    std::optional<notes::Draft> unsavedState() const;
    bool HasUnsavedChanges() const;
    // Captions and the alarm lists get the room their text needs.
    void FitTexts();
    QString bodyPlainText() const;
    QString stampText(const QDateTime &when) const;
    // The status line of an editor filled from a recovered draft.
    QString recoveredText() const;

    Session &m_session;
    int m_topic = -1;
    int m_category = -1;
    int m_number = -1;  // the registry's window number
    // Until loading ends, no change counts as the user's.
    bool m_loading = false;
    bool m_loadFailed = false;  // the stored topic could not be read
    bool m_unloaded = false;
    std::unique_ptr<BodyFormatting> m_formatting;
    std::unique_ptr<AlarmPanel> m_alarm;
    std::unique_ptr<FramedSize> m_size;
    DraftWriter *m_drafts = nullptr;
    FormatStrip *m_strip = nullptr;
    // The editor's state as loaded, to tell whether it holds changes.
    QString m_loadedTitle;
    // The machine whose state of this topic a sync wrote while it was open.
    std::optional<QString> m_arrivedFrom;
    int m_loadedAlarmType = 0;
    store::WallTime m_loadedAlarmTime;
    QDateTime m_loadedUpdated;
    // When the draft this editor was filled from was taken; invalid when none.
    QDateTime m_recoveredAt;
    // The body as loaded, to tell a change of formatting alone.
    QString m_loadedBody;
    QString m_loadedText;  // its plain text
};

#pragma once
// The editor's find bar: finds a word, or a pattern in the wildcard language
// of Find in topics, in the body; shows every occurrence, steps through them
// and counts them. It never changes the text.

#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;
class Session;

struct TextMatch {
    int start = 0;
    int length = 0;
    bool operator==(const TextMatch &) const = default;
};

// The occurrences of a pattern in a text, left to right and not
// overlapping; each starts as early as it can and, from there, ends as early
// as it can. Letter case is ignored unless matchCase; wholeWord wants no
// letter or digit just before or after.
QList<TextMatch> findOccurrences(const QString &text, const QString &pattern, bool matchCase, bool wholeWord);

class FindBar final : public QWidget {
    Q_OBJECT
public:
    FindBar(Session &session, QTextEdit *body, QWidget *parent);

    // Shows the bar holding the pattern, finds it and selects the first
    // occurrence at or after the insertion point (the first of all when
    // fromTop), bringing it into view. An empty pattern keeps the one there.
    void Open(const QString &pattern, bool fromTop);
    void FindNext();
    void FindPrevious();
    // Opens the bar with the word selected in the body, if the selection
    // lies in one paragraph.
    void OpenWithSelection();
    // The next or previous occurrence; with no pattern yet, the bar opens.
    void FindNextOrOpen();
    void FindPreviousOrOpen();
    // Hides the bar and its highlights; the keyboard goes back to the body.
    void CloseBar();
    void AggiornaLingua();

    const QList<TextMatch> &matches() const { return m_matches; }
    int current() const { return m_current; }

    QLineEdit *txtTrova = nullptr;
    QCheckBox *chkMaiuscole = nullptr;
    QCheckBox *chkParola = nullptr;
    QToolButton *cmdPrecedente = nullptr;
    QToolButton *cmdSuccessivo = nullptr;
    QLabel *labConteggio = nullptr;
    QToolButton *cmdChiudiTrova = nullptr;

signals:
    void visibilityChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Finds again: after a change of the pattern, its options or the text.
    void Search(bool reselect);
    void Highlight();
    void Select(int index);
    void ShowCount();

    Session &m_session;
    QTextEdit *m_body;
    QTimer m_again;  // the pattern or the body changed: find again after a pause
    bool m_reselect = false;
    QList<TextMatch> m_matches;
    int m_current = -1;
};

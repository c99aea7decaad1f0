#pragma once
// The drafts brought back at start, told in one window over the main window
// while their editors wait behind it.

#include "Forms.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QStringList>

class QDialogButtonBox;
class QLabel;
class Session;

class frmBozze final : public QDialog, public Form {
    Q_OBJECT
public:
    // One line of the list: the topic's title and what is to know about its
    // draft (when it was taken; whether the topic changed or went since).
    struct Line {
        QString topic;
        QStringList notes;
    };
    frmBozze(Session &session, const QList<Line> &lines, QWidget *parent);

    void AggiornaLingua() override;

    QLabel *labIstruzioni = nullptr;
    // Per line: the topic's title and its notes.
    QList<QLabel *> labArgomento, labNote;
    QDialogButtonBox *cmdOk = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centreOnParent();
    Session &m_session;
    QElapsedTimer m_shown;
    bool m_centring = false;
};

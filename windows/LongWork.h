#pragma once
// Long work seen by the user: a dialog saying what is being done and how far
// it has come, shown once the work has lasted beyond a moment, while the
// program's events keep running so that its windows stay drawn.

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

class LongWork final {
public:
    // The dialog appears over parent, titled title, once showAfterMs have
    // passed since this object was made.
    LongWork(QWidget *parent, QString title, int showAfterMs);
    ~LongWork();
    LongWork(const LongWork &) = delete;
    LongWork &operator=(const LongWork &) = delete;

    void setTitle(const QString &title) { m_title = title; }

    // What is being done and how far: done of total, total 0 when that
    // cannot be told. Lets pending events run, a few times a second at most.
    void step(const QString &what, qint64 done, qint64 total);

    // Runs work on a thread of its own, saying what and, a few times a
    // second, how far (done() of total) until it ends; returns what work
    // returned. Work must touch no window.
    bool runInBackground(const std::function<bool()> &work, const QString &what,
                         const std::function<qint64()> &done, qint64 total);

private:
    QWidget *m_parent;
    QString m_title;
    int m_showAfterMs;
    QElapsedTimer m_since;
    QElapsedTimer m_lastEvents;
    std::unique_ptr<QProgressDialog> m_dialog;
};

#include "LongWork.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>

LongWork::LongWork(QWidget *parent, QString title, int showAfterMs)
    : m_parent(parent), m_title(std::move(title)), m_showAfterMs(showAfterMs)
{
    m_since.start();
}

LongWork::~LongWork()
{
    if (m_dialog)
        m_dialog->close();
}

void LongWork::step(const QString &what, qint64 done, qint64 total)
{
    if (m_lastEvents.isValid() && m_lastEvents.elapsed() < 100)
        return;
    if (!m_dialog && m_since.elapsed() >= m_showAfterMs) {
        m_dialog = std::make_unique<QProgressDialog>(m_parent);
        m_dialog->setWindowTitle(m_title);
        // It cannot be stopped halfway: no button.
        m_dialog->setCancelButton(nullptr);
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setMinimumWidth(420);
    }
    if (m_dialog) {
        m_dialog->setLabelText(what);
        if (total > 0) {
            m_dialog->setRange(0, 1000);
            m_dialog->setValue(int(std::min<qint64>(1000, done * 1000 / total)));
        } else {
            m_dialog->setRange(0, 0);  // moving, without a measure
        }
        if (!m_dialog->isVisible())
            m_dialog->show();
    }
    QApplication::processEvents();
    m_lastEvents.start();
}

bool LongWork::runInBackground(const std::function<bool()> &work, const QString &what,
                               const std::function<qint64()> &done, qint64 total)
{
    std::atomic<bool> result{false};
    QEventLoop loop;
    QThread *thread = QThread::create([&] { result = work(); });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] { step(what, done(), total); });
    step(what, 0, total);
    thread->start();
    tick.start(200);
    // Only the dialog takes input meanwhile: it is modal once shown, and
    // before that user input waits.
    if (!thread->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    return result;
}

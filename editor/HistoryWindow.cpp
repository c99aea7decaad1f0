#include "HistoryWindow.h"

#include "Rtf.h"
#include "Session.h"
#include "ShownDates.h"
#include "Str.h"
#include "Utility.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

HistoryWindow::HistoryWindow(Session &session, int topic, const QString &title, std::function<bool()> mayRestore,
                             QWidget *parent)
    : QDialog(parent), m_session(session), m_topic(topic), m_mayRestore(std::move(mayRestore))
{
    const auto s = [&](int id) { return session.GetString(id); };
    setWindowTitle(s(Str::HistoryTitle).arg(title));
    m_label = new QLabel(s(Str::HistoryVersions), this);
    m_list = new QListWidget(this);
    m_label->setBuddy(m_list);
    m_preview = new QTextEdit(this);
    m_preview->setReadOnly(true);
    m_preview->setAccessibleName(s(Str::BodyName));
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(m_list);
    split->addWidget(m_preview);
    split->setStretchFactor(1, 2);
    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(s(Str::HistoryRestore), QDialogButtonBox::ActionRole);
    m_asNew = buttons->addButton(s(Str::HistoryRestoreAsNew), QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(s(Str::HistoryClose), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    resize(720, 420);

    bool ok = false;
    m_versions = session.history.versionsOf(topic, &ok);
    if (!ok)
        ShowDatabaseErrors(session, parent);
    for (const notes::VersionEntry &v : std::as_const(m_versions)) {
        const QDateTime when = v.updated.isValid() ? v.updated : v.replaced;
        const QString first = v.start.section(QLatin1Char('\n'), 0, 0).trimmed();
        m_list->addItem(s(Str::HistoryEntry).arg(ShownMoment(when), v.machine) + QLatin1Char('\n') + v.title
                        + (first.isEmpty() ? QString() : QStringLiteral(": ") + first));
    }
    if (m_versions.isEmpty())
        m_preview->setPlainText(s(Str::HistoryNone));
    m_restore->setEnabled(false);
    m_asNew->setEnabled(false);
    connect(m_list, &QListWidget::currentRowChanged, this, &HistoryWindow::showSelected);
    connect(m_restore, &QPushButton::clicked, this, &HistoryWindow::restore);
    connect(m_asNew, &QPushButton::clicked, this, &HistoryWindow::restoreAsNew);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    if (!m_versions.isEmpty())
        m_list->setCurrentRow(0);
    m_list->setFocus();
}

void HistoryWindow::select(int row)
{
    m_list->setCurrentRow(row);
}

qint64 HistoryWindow::selectedVersion() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_versions.size() ? m_versions[row].id : -1;
}

void HistoryWindow::showSelected()
{
    notes::Version v;
    const qint64 id = selectedVersion();
    const bool shown = id != -1 && m_session.history.version(id, &v) == notes::Found::Yes;
    if (shown && !rtf::read(v.body, m_preview->document()))
        m_preview->setPlainText(v.body);
    // A file that cannot be written restores nothing.
    const bool writable = shown && !m_session.store.isReadOnly();
    m_restore->setEnabled(writable);
    m_asNew->setEnabled(writable);
}

void HistoryWindow::restore()
{
    const qint64 id = selectedVersion();
    if (id == -1 || (m_mayRestore && !m_mayRestore()))
        return;
    if (m_session.history.restore(id) != notes::Found::Yes) {
        ShowDatabaseErrors(m_session, this);
        return;
    }
    done(Restored);
}

void HistoryWindow::restoreAsNew()
{
    const qint64 id = selectedVersion();
    if (id == -1)
        return;
    m_added = m_session.history.restoreAsNew(id, -1);
    if (m_added == -1) {
        ShowDatabaseErrors(m_session, this);
        return;
    }
    done(RestoredAsNew);
}

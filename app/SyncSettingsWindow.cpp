#include "SyncSettingsWindow.h"

#include "Platform.h"
#include "Session.h"
#include "Str.h"
#include "Utility.h"
#include "sync/Sync.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

SyncSettingsWindow::SyncSettingsWindow(Session &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    const auto s = [&](int id) { return session.GetString(id); };
    setWindowTitle(s(Str::SyncTitle));
    gitsync::SyncConfig config;
    if (!gitsync::readConfig(session.store, &config))
        ShowDatabaseErrors(session, parent);
    m_remote = new QLineEdit(config.remote, this);
    m_remote->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    m_remote->setPlaceholderText(QStringLiteral("ssh://host/path/notes.git"));
    m_machine = new QLineEdit(config.machine.isEmpty() ? session.store.machineName : config.machine, this);
    m_automatic = new QCheckBox(s(Str::SyncAutomatic), this);
    m_automatic->setChecked(config.automatic);
    auto *form = new QFormLayout;
    form->addRow(s(Str::SyncRemote), m_remote);
    form->addRow(s(Str::SyncMachine), m_machine);
    form->addRow(QString(), m_automatic);
    auto *last = new QLabel(config.lastSynced.isEmpty() ? s(Str::SyncNever) : s(Str::SyncLast).arg(config.lastSynced), this);
    auto *error = new QLabel(s(Str::SyncLastError).arg(config.lastError), this);
    error->setWordWrap(true);
    error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error->setVisible(!config.lastError.isEmpty());
    auto *buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(s(Str::SyncSave), QDialogButtonBox::AcceptRole);
    buttons->addButton(s(Str::SyncCancel), QDialogButtonBox::RejectRole);
    m_save->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SyncSettingsWindow::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(last);
    layout->addWidget(error);
    layout->addWidget(buttons);
}

void SyncSettingsWindow::save()
{
    if (RefusedReadOnly(m_session, this))
        return;
    gitsync::SyncConfig config;
    config.remote = m_remote->text().trimmed();
    config.machine = m_machine->text().trimmed() == QSysInfo::machineHostName() ? QString() : m_machine->text().trimmed();
    config.automatic = m_automatic->isChecked();
    if (!gitsync::writeConfig(m_session.store, config)) {
        ShowDatabaseErrors(m_session, this);
        return;
    }
    if (!config.machine.isEmpty())
        m_session.store.machineName = config.machine;
    accept();
}

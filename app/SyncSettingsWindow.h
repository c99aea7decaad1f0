#pragma once
// Where this machine's notes are synced: the remote, the name its changes
// carry, whether the program syncs by itself, and how the last sync went.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class Session;

class SyncSettingsWindow final : public QDialog {
    Q_OBJECT
public:
    SyncSettingsWindow(Session &session, QWidget *parent);

    QLineEdit *remoteBox() const { return m_remote; }
    QLineEdit *machineBox() const { return m_machine; }
    QCheckBox *automaticBox() const { return m_automatic; }
    QPushButton *saveButton() const { return m_save; }

private:
    void save();

    Session &m_session;
    QLineEdit *m_remote = nullptr;
    QLineEdit *m_machine = nullptr;
    QCheckBox *m_automatic = nullptr;
    QPushButton *m_save = nullptr;
};

#pragma once
// Production implementations of the platform seam, on Qt.

#include "Platform.h"

#include <memory>

class QLocalServer;
class QSoundEffect;
class QSystemTrayIcon;

namespace platform {

class QtDialogs final : public Dialogs {
public:
    int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title) override;
    void Notice(QWidget *parent, const QString &prompt, int style, const QString &title) override;
    std::optional<QString> InputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    std::optional<FontChoice> ChooseFont(QWidget *parent, const FontChoice &initial) override;
    std::optional<QColor> ChooseColor(QWidget *parent, const QColor &initial) override;
    std::optional<QString> GetSaveFileName(QWidget *parent, const QString &title, const QString &fileName,
                                           const QString &filter, const QString &defaultSuffix) override;
    bool ChoosePrinter(QWidget *parent, QPrinter *printer) override;

private:
    QColor m_lastColor = Qt::black;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    bool setSystemDateTime(const QDateTime &when, QString *error) override;
};

class QtSound final : public Sound {
public:
    QtSound();
    ~QtSound() override;
    void play(const QString &path) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

class QtDesktop final : public Desktop {
public:
    bool openUrl(const QString &url) override;
    bool focusWindow(QWidget *window) override;
};

class QtTray final : public Tray {
    Q_OBJECT
public:
    QtTray();
    ~QtTray() override;
    bool isAvailable() const override;
    void showIcon(const QIcon &icon, const QString &tip) override;
    void hideIcon() override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

// A per-user local socket (user-only access) in the runtime folder; a lock
// file makes the check-and-listen of two copies started together one step.
class LocalInstanceChannel final : public InstanceChannel {
    Q_OBJECT
public:
    LocalInstanceChannel();
    ~LocalInstanceChannel() override;
    bool claim() override;
    bool send(const QString &command) override;
    QString socketPath() const { return m_path; }

private:
    void onConnection();
    QString m_path;
    std::unique_ptr<QLocalServer> m_server;
    int m_runLock = -1;  // a file locked while this copy runs
};

// The freedesktop Notifications service on the session bus.
class DBusNotifier final : public Notifier {
    Q_OBJECT
public:
    DBusNotifier();
    void notify(const QString &title, const QString &body) override;

private slots:
    void onNotified(uint id);
    void onActionInvoked(uint id, const QString &action);

private:
    uint m_lastId = 0;
};

// All of the above, for main().
struct QtServices {
    QtDialogs dialogs;
    SystemClock clock;
    QtSound sound;
    QtDesktop desktop;
    QtTray tray;
    LocalInstanceChannel instance;
    DBusNotifier notifier;
    Services services() { return {&dialogs, &clock, &sound, &desktop, &tray, &instance, &notifier}; }
};

} // namespace platform

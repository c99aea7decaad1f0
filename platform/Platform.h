#pragma once
// The seam between the program and what a person or the operating system
// answers: message and input boxes, the clock, sound, opening links. The
// production implementations use Qt; tests use scripted ones, so that every
// question the program asks is expected and answered by the test.

#include <QColor>
#include <QDateTime>
#include <QIcon>
#include <QObject>
#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace platform {

// Button sets, icons and answers of a message box, with the classic values.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box; style is a button set plus an icon.
    virtual int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title) = 0;
    // Shows a message with an OK button and returns at once: a notice that
    // waits for the user without holding up the program meanwhile.
    virtual void Notice(QWidget *parent, const QString &prompt, int style, const QString &title) = 0;
    // Asks for one line of text; nullopt when the user cancels.
    virtual std::optional<QString> InputBox(QWidget *parent, const QString &prompt, const QString &title,
                                            const QString &defaultText) = 0;

    struct FontChoice {
        QString family;
        double pointSize = 8;
        bool bold = false, italic = false, strikeOut = false, underline = false;
        bool operator==(const FontChoice &) const = default;
    };
    // The font dialog, starting from initial; nullopt when cancelled.
    virtual std::optional<FontChoice> ChooseFont(QWidget *parent, const FontChoice &initial) = 0;
    // The colour dialog; an invalid initial colour keeps the dialog's own.
    virtual std::optional<QColor> ChooseColor(QWidget *parent, const QColor &initial) = 0;
    // The save-file dialog. filter is "Name (*.EXT)|*.EXT|..." pairs as the
    // string table holds them; defaultSuffix is added to a name typed
    // without one. The program asks about overwriting itself.
    virtual std::optional<QString> GetSaveFileName(QWidget *parent, const QString &title, const QString &fileName,
                                                   const QString &filter, const QString &defaultSuffix) = 0;
    // The print dialog for printer (no page range, no selection); false when
    // cancelled. The printer chosen stays set on printer.
    virtual bool ChoosePrinter(QWidget *parent, QPrinter *printer) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Sets the system date and time. Returns false, with the system's reason
    // in error, when the system refuses (usually for lack of rights).
    virtual bool setSystemDateTime(const QDateTime &when, QString *error) = 0;
};

class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing a sound file and returns at once. A missing file or no
    // audio device is silently ignored.
    virtual void play(const QString &path) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens a web or mail link with the user's program for it.
    virtual bool openUrl(const QString &url) = 0;
    // Brings a window to the foreground and gives it the keyboard; false
    // when the window system refuses.
    virtual bool focusWindow(QWidget *window) = 0;
};

// The notification-area icon.
class Tray : public QObject {
    Q_OBJECT
public:
    // False where the desktop has no notification area.
    virtual bool isAvailable() const = 0;
    virtual void showIcon(const QIcon &icon, const QString &tip) = 0;
    virtual void hideIcon() = 0;
signals:
    // A click (left or right) or a double-click on the icon.
    void clicked();
};

// Desktop notifications: where a desktop refuses to bring a window forward,
// a notification still reaches the user.
class Notifier : public QObject {
    Q_OBJECT
public:
    // Shows a notification, replacing the one shown before; a desktop
    // without a notification service is silently ignored.
    virtual void notify(const QString &title, const QString &body) = 0;
signals:
    // The user activated (clicked) the last notification.
    void activated();
};

// The channel between copies of the program run by one user.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // Makes this copy the one that answers the others; false when another
    // copy already runs (and answers).
    virtual bool claim() = 0;
    // Hands a command ("RES", "MIN") to the running copy and waits until it
    // was taken; false when nobody answered.
    virtual bool send(const QString &command) = 0;
signals:
    void commandReceived(const QString &command);
};

// The services one run of the program uses; owned by whoever builds it.
struct Services {
    Dialogs *dialogs = nullptr;
    Clock *clock = nullptr;
    Sound *sound = nullptr;
    Desktop *desktop = nullptr;
    Tray *tray = nullptr;
    InstanceChannel *instance = nullptr;
    Notifier *notifier = nullptr;
};

} // namespace platform

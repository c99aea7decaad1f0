#pragma once
// The platform seam for tests: every message box or input box the program
// shows must have been expected by the test, which gives the answer; an
// unexpected one fails the test. The clock is set by the test.

#include "Platform.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Shown {
        QString kind;  // "MsgBox" or "InputBox"
        QString prompt;
        int style = 0;
        QString title;
        QString defaultText;  // input boxes only
    };

    ~ScriptedDialogs() override;

    // The next message box is answered with answer.
    void expectMsgBox(int answer = platform::vbOK) { m_script.append({QStringLiteral("MsgBox"), answer}); }
    // Every message box not expected otherwise is answered with answer, not
    // failed (for runs whose number of error boxes is not known before).
    void answerEveryMsgBox(std::optional<int> answer) { m_everyMsgBox = answer; }
    void expectInputBox(std::optional<QString> answer) { m_script.append({QStringLiteral("InputBox"), 0, answer}); }
    void expectFont(std::optional<FontChoice> answer) { m_script.append({QStringLiteral("Font"), 0, {}, answer}); }
    void expectColor(std::optional<QColor> answer) { m_script.append({QStringLiteral("Color"), 0, {}, {}, answer}); }
    void expectSaveFile(std::optional<QString> path) { m_script.append({QStringLiteral("SaveFile"), 0, path}); }
    // The print dialog is answered by printing to a PDF file at pdfPath, or
    // cancelled when pdfPath is empty.
    void expectPrint(const QString &pdfPath) { m_script.append({QStringLiteral("Print"), 0, pdfPath}); }
    // What the last font dialog was opened with.
    FontChoice lastFontShown;
    QString lastSaveFileName;
    // Every box shown so far, in order.
    const QList<Shown> &shown() const { return m_shown; }

    int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title) override;
    // Taken as a message box that was answered OK at once.
    void Notice(QWidget *parent, const QString &prompt, int style, const QString &title) override
    {
        MsgBox(parent, prompt, style, title);
    }
    std::optional<QString> InputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    std::optional<FontChoice> ChooseFont(QWidget *parent, const FontChoice &initial) override;
    std::optional<QColor> ChooseColor(QWidget *parent, const QColor &initial) override;
    std::optional<QString> GetSaveFileName(QWidget *parent, const QString &title, const QString &fileName,
                                           const QString &filter, const QString &defaultSuffix) override;
    bool ChoosePrinter(QWidget *parent, QPrinter *printer) override;

private:
    struct Answer {
        QString kind;
        int button = 0;
        std::optional<QString> text = {};
        std::optional<FontChoice> font = {};
        std::optional<QColor> color = {};
    };
    // Records the box; the next scripted answer if it is of this kind, else
    // a test failure.
    std::optional<Answer> take(const QString &kind, const QString &what, int style = 0, const QString &title = {},
                               const QString &defaultText = {});
    QList<Answer> m_script;
    QList<Shown> m_shown;
    std::optional<int> m_everyMsgBox;
};

class ScriptedClock final : public platform::Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 6, 15), QTime(10, 30, 0));
    bool refuse = false;
    QList<QDateTime> setTimes;

    QDateTime now() const override { return current; }
    bool setSystemDateTime(const QDateTime &when, QString *error) override;
};

class SilentSound final : public platform::Sound {
public:
    QStringList played;
    void play(const QString &path) override { played.append(path); }
};

class RecordingDesktop final : public platform::Desktop {
public:
    bool refuseFocus = false;
    QStringList opened;
    bool openUrl(const QString &url) override
    {
        opened.append(url);
        return true;
    }
    bool focusWindow(QWidget *window) override;
};

// The real notification area is driven in tests/e2e.
class ScriptedTray final : public platform::Tray {
    Q_OBJECT
public:
    bool isAvailable() const override { return true; }
    void showIcon(const QIcon &, const QString &) override {}
    void hideIcon() override {}
};

// In one test process there is never another copy.
class LoneInstance final : public platform::InstanceChannel {
    Q_OBJECT
public:
    bool claim() override { return true; }
    bool send(const QString &) override { return false; }
};

// What a notification says, and its click, are checked on a real desktop
// (tests/e2e).
class ScriptedNotifier final : public platform::Notifier {
    Q_OBJECT
public:
    QStringList notified;  // the bodies, in order
    void notify(const QString &, const QString &body) override { notified.append(body); }
};

struct ScriptedServices {
    ScriptedDialogs dialogs;
    ScriptedClock clock;
    SilentSound sound;
    RecordingDesktop desktop;
    ScriptedTray tray;
    LoneInstance instance;
    ScriptedNotifier notifier;
    platform::Services services() { return {&dialogs, &clock, &sound, &desktop, &tray, &instance, &notifier}; }
};

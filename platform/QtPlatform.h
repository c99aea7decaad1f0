#pragma once
// Production implementations of the platform seam, on Qt.

#include "Platform.h"

#include <memory>

class QSoundEffect;

namespace platform {

class QtDialogs final : public Dialogs {
public:
    int MsgBox(QWidget *parent, const QString &prompt, int style, const QString &title) override;
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

// All of the above, for main().
struct QtServices {
    QtDialogs dialogs;
    SystemClock clock;
    QtSound sound;
    QtDesktop desktop;
    Services services() { return {&dialogs, &clock, &sound, &desktop}; }
};

} // namespace platform

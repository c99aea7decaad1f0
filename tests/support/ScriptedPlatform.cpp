#include "ScriptedPlatform.h"

#include <QPrinter>
#include <QWidget>

#include <gtest/gtest.h>

ScriptedDialogs::~ScriptedDialogs()
{
    EXPECT_TRUE(m_script.isEmpty()) << m_script.size() << " expected dialog(s) never appeared";
}

int ScriptedDialogs::MsgBox(QWidget *, const QString &prompt, int style, const QString &title)
{
    if (m_everyMsgBox && m_script.isEmpty()) {
        m_shown.append({QStringLiteral("MsgBox"), prompt, style, title, QString()});
        return *m_everyMsgBox;
    }
    const auto a = take(QStringLiteral("MsgBox"), prompt, style, title);
    return a ? a->button : platform::vbCancel;
}

std::optional<QString> ScriptedDialogs::InputBox(QWidget *, const QString &prompt, const QString &title,
                                                 const QString &defaultText)
{
    const auto a = take(QStringLiteral("InputBox"), prompt, 0, title, defaultText);
    return a ? a->text : std::nullopt;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(const QString &kind, const QString &what, int style,
                                                             const QString &title, const QString &defaultText)
{
    m_shown.append({kind, what, style, title, defaultText});
    if (m_script.isEmpty() || m_script.first().kind != kind) {
        ADD_FAILURE() << "unexpected " << kind.toStdString() << ": " << what.toStdString();
        return std::nullopt;
    }
    return m_script.takeFirst();
}

std::optional<platform::Dialogs::FontChoice> ScriptedDialogs::ChooseFont(QWidget *, const FontChoice &initial)
{
    lastFontShown = initial;
    const auto a = take(QStringLiteral("Font"), initial.family);
    return a ? a->font : std::nullopt;
}

std::optional<QColor> ScriptedDialogs::ChooseColor(QWidget *, const QColor &initial)
{
    const auto a = take(QStringLiteral("Color"), initial.name());
    return a ? a->color : std::nullopt;
}

std::optional<QString> ScriptedDialogs::GetSaveFileName(QWidget *, const QString &title, const QString &fileName,
                                                        const QString &, const QString &)
{
    lastSaveFileName = fileName;
    const auto a = take(QStringLiteral("SaveFile"), title);
    return a ? a->text : std::nullopt;
}

bool ScriptedDialogs::ChoosePrinter(QWidget *, QPrinter *printer)
{
    const auto a = take(QStringLiteral("Print"), QStringLiteral("print"));
    if (!a || !a->text || a->text->isEmpty())
        return false;
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(*a->text);
    return true;
}

bool ScriptedClock::setSystemDateTime(const QDateTime &when, QString *error)
{
    if (refuse) {
        if (error)
            *error = QStringLiteral("Operation not permitted");
        return false;
    }
    setTimes.append(when);
    current = when;
    return true;
}

bool RecordingDesktop::focusWindow(QWidget *window)
{
    if (refuseFocus || !window)
        return false;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

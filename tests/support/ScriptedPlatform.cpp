#include "ScriptedPlatform.h"

#include <QPrinter>
#include <QWidget>

#include <gtest/gtest.h>

ScriptedDialogs::~ScriptedDialogs()
{
    EXPECT_TRUE(m_script.isEmpty()) << m_script.size() << " expected dialog(s) never appeared";
}

void ScriptedDialogs::expectMsgBox(int answer)
{
    m_script.append({QStringLiteral("MsgBox"), answer, std::nullopt, std::nullopt, std::nullopt});
}

void ScriptedDialogs::expectInputBox(std::optional<QString> answer)
{
    m_script.append({QStringLiteral("InputBox"), 0, std::move(answer), std::nullopt, std::nullopt});
}

int ScriptedDialogs::MsgBox(QWidget *, const QString &prompt, int style, const QString &title)
{
    m_shown.append({QStringLiteral("MsgBox"), prompt, style, title, QString()});
    if (m_script.isEmpty() && m_everyMsgBox)
        return *m_everyMsgBox;
    if (m_script.isEmpty() || m_script.first().kind != QLatin1String("MsgBox")) {
        ADD_FAILURE() << "unexpected message box: " << prompt.toStdString();
        return platform::vbCancel;
    }
    return m_script.takeFirst().button;
}

std::optional<QString> ScriptedDialogs::InputBox(QWidget *, const QString &prompt, const QString &title,
                                                 const QString &defaultText)
{
    m_shown.append({QStringLiteral("InputBox"), prompt, 0, title, defaultText});
    if (m_script.isEmpty() || m_script.first().kind != QLatin1String("InputBox")) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    return m_script.takeFirst().text;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(const QString &kind, const QString &what)
{
    m_shown.append({kind, what, 0, QString(), QString()});
    if (m_script.isEmpty() || m_script.first().kind != kind) {
        ADD_FAILURE() << "unexpected " << kind.toStdString() << ": " << what.toStdString();
        return std::nullopt;
    }
    return m_script.takeFirst();
}

void ScriptedDialogs::expectFont(std::optional<FontChoice> answer)
{
    Answer a{QStringLiteral("Font"), 0, std::nullopt, answer, std::nullopt};
    m_script.append(a);
}

void ScriptedDialogs::expectColor(std::optional<QColor> answer)
{
    m_script.append({QStringLiteral("Color"), 0, std::nullopt, std::nullopt, answer});
}

void ScriptedDialogs::expectSaveFile(std::optional<QString> path)
{
    m_script.append({QStringLiteral("SaveFile"), 0, std::move(path), std::nullopt, std::nullopt});
}

void ScriptedDialogs::expectPrint(const QString &pdfPath)
{
    m_script.append({QStringLiteral("Print"), 0, pdfPath, std::nullopt, std::nullopt});
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
                                                        const QString &filter, const QString &)
{
    lastSaveFileName = fileName;
    lastSaveFilter = filter;
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
    ++focusRequests;
    if (refuseFocus || !window)
        return false;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

#include "ScriptedPlatform.h"

#include <gtest/gtest.h>

ScriptedDialogs::~ScriptedDialogs()
{
    EXPECT_TRUE(m_script.isEmpty()) << m_script.size() << " expected dialog(s) never appeared";
}

void ScriptedDialogs::expectMsgBox(int answer)
{
    m_script.append({QStringLiteral("MsgBox"), answer, std::nullopt});
}

void ScriptedDialogs::expectInputBox(std::optional<QString> answer)
{
    m_script.append({QStringLiteral("InputBox"), 0, std::move(answer)});
}

int ScriptedDialogs::MsgBox(QWidget *, const QString &prompt, int style, const QString &title)
{
    m_shown.append({QStringLiteral("MsgBox"), prompt, style, title, QString()});
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

#pragma once
// Links in a topic's body: Ctrl+click opens a web or mail link with the
// user's program for it, and the pointer and a tip show where links are.

#include <QObject>

class QTextEdit;
class Session;

class BodyLinks final : public QObject {
public:
    BodyLinks(Session &session, QTextEdit *body);

    // Opens the link, or tells why it is not opened.
    void open(const QString &href);
    // Only links to web and mail addresses are opened.
    static bool openable(const QString &href);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Text typed at a link's end is not part of it.
    void leaveLinkAtItsEnd();

    Session &m_session;
    QTextEdit *m_body;
};

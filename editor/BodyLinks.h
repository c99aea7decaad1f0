#pragma once
// Links in a topic's body: Ctrl+click opens a web or mail link with the
// user's program for it, and the pointer and a tip show where links are.
// A note's mark shows the note in a tip.

#include <QObject>
#include <QString>

class QPoint;
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
    // Text typed at the end of a link or of a note's mark is not part of it.
    void leaveLinkAtItsEnd();
    // The text of the note whose mark is at pos, if any.
    QString noteAt(const QPoint &pos) const;

    Session &m_session;
    QTextEdit *m_body;
};

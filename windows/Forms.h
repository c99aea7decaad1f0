#pragma once
// The collection of loaded windows, in load order. Windows are told apart by
// their Tag: "main" for the main window, "main2" for auxiliary windows, empty
// for editor windows.

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class Forms;

// What every window of the program offers to the others.
class Form {
public:
    Form(Forms &forms, QWidget *self, QString tag);
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    QWidget *widget() const { return m_self; }
    const QString &Tag() const { return m_tag; }
    bool isEditor() const { return !m_tag.startsWith(QLatin1String("main")); }

    // Re-applies the window's captions in the current language.
    virtual void AggiornaLingua() {}
    // Asked before the program closes an editor: true when it may go.
    virtual bool ProvaChiusura() { return true; }

    // Closes and destroys the window, as its close box would; returns false
    // when the window refused.
    bool Unload();

protected:
    // Takes the window out of the collection at once, for windows that
    // accept a close and are destroyed later.
    void formClosed();

private:
    Forms &m_forms;
    QPointer<QWidget> m_self;
    QString m_tag;
};

class Forms final {
public:
    // The loaded windows in load order; a snapshot, safe to walk while
    // windows unload.
    QList<Form *> all() const;
    qsizetype count() const { return m_forms.size(); }

private:
    friend class Form;
    QList<Form *> m_forms;
};

#pragma once
// The collection of loaded windows, in load order. Windows are told apart by
// their Tag: "main" for the main window, "main2" for auxiliary windows, empty
// for editor windows.

#include "db/WallTime.h"

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

// An editor window as the other windows see it.
class TopicWindow : public Form {
public:
    using Form::Form;

    // The topic shown; -1 for a new one not saved yet.
    virtual int topicId() const = 0;
    // Its category.
    virtual int categoryId() const = 0;
    // The number it is registered under, never given again in a run.
    virtual int windowNumber() const = 0;
    // The title as its title box holds it now.
    virtual QString title() const = 0;
    // Shows, raises and activates the window.
    virtual void BringForward() = 0;
    // Writes its unsaved state down as a draft now if anything changed
    // since the last one; false when the store refused.
    virtual bool WriteDraft() = 0;
    // The topic's alarm rang and was moved on in the store: the window shows
    // where it now stands, whatever else it holds unsaved.
    virtual void AlarmMovedOn(int type, const store::WallTime &time) = 0;
    // Back from minimized or maximized to its normal state, then forward.
    void RestoreAndBringForward();
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

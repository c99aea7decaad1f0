#pragma once
// A started program over a database with a few categories and topics.
#include "Editors.h"
#include "AppFixture.h"
#include "StoredRows.h"
#include "frmCategorie.h"
#include "frmListaArgomenti.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>
#include <QTest>

#include <stdexcept>

// Keys by name; a test names them with plain literals.
class KeysByName : public QHash<QString, int> {
public:
    using QHash::operator[];
    int &operator[](const char *name) { return QHash::operator[](QString::fromUtf8(name)); }
};

class BrowserFixture : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        makeDatabase(defaultFolder(), 1);
        store::NoteStore ns;
        ns.DataFolder = defaultFolder();
        ASSERT_TRUE(ns.open());
        for (const char *name : {"beta", "Zeta", "Alpha"})
            categories[QString::fromLatin1(name)] = stored::addCategory(ns.dbNotes, QString::fromLatin1(name));
        for (const char *title : {"Summary", "Agenda", "marmellata"})
            topics[QString::fromLatin1(title)] = addTopic(ns, categories[QStringLiteral("beta")],
                                                          QString::fromLatin1(title),
                                                          QStringLiteral("Body of ") + QString::fromLatin1(title));
        topics[QStringLiteral("Far")] = addTopic(ns, categories[QStringLiteral("Zeta")], QStringLiteral("Far"),
                                                 QStringLiteral("far away"));
        ns.close();
        setSetup(QStringLiteral("UltimaCat"), categories[QStringLiteral("beta")]);
        ASSERT_EQ(start(), frmPrincipale::LoadResult::Running);
        main->show();
    }

    void TearDown() override
    {
        stop();
        AppFixture::TearDown();
    }

    // Ends the program: editors and the find results (top-level windows of
    // their own), the main window and the session, which closes the store.
    void stop()
    {
        if (session)
            for (frmNuovoArg *e : Editors(*session))
                delete e;
        delete results();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.reset();
        session.reset();
    }

    // Adds a topic last updated on a fixed day, as the fixture's own are.
    static int addTopic(store::NoteStore &ns, int category, const QString &title, const QString &body)
    {
        return stored::addTopic(ns.dbNotes, category, title, body, QDateTime(QDate(2025, 5, 4), QTime(3, 2)));
    }

    QStringList listTexts() const
    {
        QStringList out;
        for (int i = 0; i < main->lstArgomenti->count(); ++i)
            out << main->lstArgomenti->item(i)->text();
        return out;
    }

    int rowOf(const QString &text) const { return int(listTexts().indexOf(text)); }

    // Selects an entry by its text, as a click would.
    void select(const QString &text)
    {
        const int row = rowOf(text);
        ASSERT_GE(row, 0) << "no entry " << text.toStdString();
        main->lstArgomenti->setCurrentRow(row);
    }

    // Opens the category named name from the category list.
    void openCategory(const QString &name)
    {
        main->cmdCambia_Click();
        select(name);
        main->lstArgomenti_DblClick();
    }

    // Opens the topic listed as title (the fixture's topic first named
    // storedAs, when renamed since); a test cannot go on without its editor,
    // so failing to open it ends the test (by a throw: never from a driver).
    frmNuovoArg *openTopic(const QString &title, const QString &storedAs = {})
    {
        select(title);
        main->OpenTopic();
        if (frmNuovoArg *e = editorOf(topics.value(storedAs.isEmpty() ? title : storedAs)))
            return e;
        throw std::runtime_error("no editor opened for " + title.toStdString());
    }

    // Opens an editor on a new topic, as Insert in the topic list does.
    frmNuovoArg *newTopic()
    {
        const qsizetype before = Editors(*session).size();
        main->cmdInserisci_Click();
        if (Editors(*session).size() > before)
            return Editors(*session).constLast();
        throw std::runtime_error("no editor opened for a new topic");
    }

    frmNuovoArg *editorOf(int topicId) const
    {
        for (frmNuovoArg *e : Editors(*session))
            if (e->topicId() == topicId)
                return e;
        return nullptr;
    }

    // Answers the destination chooser with the category named name, or
    // cancels it when name is empty; preselected gets the row it offered.
    static std::unique_ptr<ModalDriver> chooseCategory(const QString &name, int *preselected = nullptr)
    {
        return whenShown<frmCategorie>([name, preselected](frmCategorie *d) {
            if (preselected)
                *preselected = d->lstCategorie->currentRow();
            if (name.isEmpty())
                return d->cmdAnnulla->click();
            for (int i = 0; i < d->lstCategorie->count(); ++i)
                if (d->lstCategorie->item(i)->text() == name)
                    d->lstCategorie->setCurrentRow(i);
            d->cmdConferma->click();
        });
    }

    // The find results window on screen, if any.
    static frmListaArgomenti *results()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *r = qobject_cast<frmListaArgomenti *>(w); r && r->isVisible())
                return r;
        return nullptr;
    }

    // Whether a topic with this key is stored.
    bool hasTopic(const QVariant &key)
    {
        return session->store.hasTopic(key.toInt());
    }
    QVariant storedField(const QVariant &key, const char *name)
    {
        EXPECT_TRUE(hasTopic(key)) << "no topic " << key.toInt();
        return stored::field(session->store.dbNotes, QStringLiteral("Argomenti"), QString::fromLatin1(name),
                             QStringLiteral("idArgomento"), key.toInt());
    }
    store::WallTime storedAlarm(int key)
    {
        return stored::wallTime(session->store.dbNotes, QStringLiteral("Argomenti"), QStringLiteral("DataOraAllarme"),
                                QStringLiteral("idArgomento"), key);
    }
    // Writes fields of a stored topic behind the windows' backs.
    void storeFields(int key, std::initializer_list<std::pair<const char *, QVariant>> fields)
    {
        stored::Fields named;
        for (const auto &[name, value] : fields)
            named.append({QString::fromLatin1(name), value});
        ASSERT_TRUE(stored::set(session->store.dbNotes, QStringLiteral("Argomenti"), named, QStringLiteral("idArgomento"), key));
    }
    void deleteBehindTheWindows(int key)
    {
        ASSERT_TRUE(stored::remove(session->store.dbNotes, QStringLiteral("Argomenti"), QStringLiteral("idArgomento"), key));
    }

    KeysByName categories;
    KeysByName topics;
};

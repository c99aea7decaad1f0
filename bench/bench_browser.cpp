// Moving every topic of a large category with Move all, through the real
// main window, destination chooser and database file.

#include "notes/NoteStore.h"
#include "QtPlatform.h"
#include "Session.h"
#include "frmCategorie.h"
#include "frmPrincipale.h"
#include "db/Sqlite.h"
#include "db/Fields.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// A database in a fresh folder: two categories, n topics in the first.
QString makeDatabase(const QTemporaryDir &dir, int n)
{
    const QString path = store::JoinPath(dir.path(), store::kDatabaseFileName);
    QString error;
    store::NoteStore ns;
    ns.DataFolder = dir.path();
    if (!store::NoteStore::createDatabase(path, QDateTime::currentDateTime(), &error) || !ns.open())
        qFatal("no store for the benchmark: %s", qPrintable(error + ns.errorText()));
    ns.dbNotes.exec(QStringLiteral("UPDATE Setup SET lingua = 1, UltimaCat = 1"));
    store::Transaction tx(ns.dbNotes);
    ns.dbNotes.exec(QStringLiteral("INSERT INTO Categorie (Categoria) VALUES ('From'), ('To')"));
    const QString body = QString(2000, QLatin1Char('x'));
    store::Statement topic(ns.dbNotes, QStringLiteral("INSERT INTO Argomenti (idCategoria, argomento, contenuto, ContenutoTxt) "
                                                      "VALUES (1, ?1, ?2, ?2)"));
    for (int i = 0; i < n; ++i) {
        topic.bind(1, QStringLiteral("Topic %1").arg(i));
        topic.bind(2, body);
        topic.run();
        topic.reset();
    }
    tx.commit();
    return dir.path();
}

void confirmWhenShown(const QString &destination)
{
    QTimer::singleShot(0, [destination] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *d = qobject_cast<frmCategorie *>(w); d && d->isVisible()) {
                for (int i = 0; i < d->lstCategorie->count(); ++i)
                    if (d->lstCategorie->item(i)->text() == destination)
                        d->lstCategorie->setCurrentRow(i);
                d->cmdConferma->click();
                return;
            }
        }
        confirmWhenShown(destination);
    });
}

void BM_MoveAll(benchmark::State &state)
{
    const int n = int(state.range(0));
    QTemporaryDir dir;
    const QString folder = makeDatabase(dir, n);
    platform::QtServices services;
    Session session(services.services(), {folder}, QStringLiteral("/usr/bin/quorvel"));
    frmPrincipale main(session);
    main.Form_Load();
    bool forward = true;
    for (auto _ : state) {
        state.PauseTiming();
        // The list shows the category holding the topics.
        main.cmdCambia_Click();
        for (int i = 0; i < main.lstArgomenti->count(); ++i)
            if (main.lstArgomenti->item(i)->text() == (forward ? QLatin1String("From") : QLatin1String("To")))
                main.lstArgomenti->setCurrentRow(i);
        main.lstArgomenti_DblClick();
        confirmWhenShown(forward ? QStringLiteral("To") : QStringLiteral("From"));
        state.ResumeTiming();
        main.mnuSpostaTutti_Click();
        state.PauseTiming();
        if (main.lstArgomenti->count() != 0)
            state.SkipWithError("the list was not emptied");
        forward = !forward;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MoveAll)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

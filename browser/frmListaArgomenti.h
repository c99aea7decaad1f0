#pragma once
// The results of Find in topics: one window, reused by every search.

#include "Forms.h"
#include "notes/Search.h"

#include <QAbstractListModel>
#include <QListView>
#include <QWidget>

class QPushButton;
class Session;

// The topics found as a list model: one line per topic, its title shown and
// its key under Qt::UserRole. Lines are kept packed, a few tens of bytes
// each, so a million of them open at once and stay small.
class TopicListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Adds lines at the end, as a search finds them.
    void append(store::FoundTopics &&found);
    void clear();
    void removeLine(int row);
    int key(int row) const { return m_found.key(row); }
    QString title(int row) const { return m_found.title(row); }

private:
    store::FoundTopics m_found;
};

// The results list: a view over its own model, with the list box's few
// operations the window uses.
class ListaRisultati final : public QListView {
public:
    explicit ListaRisultati(QWidget *parent);
    TopicListModel *lines() const { return m_lines; }
    int count() const { return m_lines->rowCount(); }
    // The current line, -1 when none.
    int currentRow() const;
    // Makes a line current and selected; -1 for none.
    void setCurrentRow(int row);
    QString text(int row) const { return m_lines->title(row); }
    int key(int row) const { return m_lines->key(row); }

private:
    TopicListModel *m_lines;
};

class frmListaArgomenti final : public QWidget, public Form {
    Q_OBJECT
public:
    explicit frmListaArgomenti(Session &session);

    void AggiornaLingua() override;
    void cmdMostra_Click();
    void cmdIndividua_Click();
    void cmdChiudi_Click();

    ListaRisultati *lstArgomenti = nullptr;
    QPushButton *cmdMostra = nullptr;
    QPushButton *cmdIndividua = nullptr;
    QPushButton *cmdChiudi = nullptr;
    // What the listed topics were found by, shown in each topic opened.
    QString Pattern;

signals:
    // Show the topic selected in its category's list.
    void locate(int topicId);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The selected line, or -1 when none is.
    int selectedRow() const;
    Session &m_session;
};

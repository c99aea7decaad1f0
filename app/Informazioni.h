#pragma once
// The About window: name, version, the maker's details and two links.

#include "Forms.h"

#include <QDialog>

class QLabel;
class QPushButton;
class Session;

class Informazioni final : public QDialog, public Form {
    Q_OBJECT
public:
    Informazioni(Session &session, QWidget *parent);

    // The close button's caption: the window's only text in the program's language.
    void AggiornaLingua() override;
    static QString VersionCaption();
    static const QString kEmail;
    static const QString kWeb;

    int NameClicks = 0;
    QLabel *Label8 = nullptr, *Label4 = nullptr, *Label1 = nullptr, *Label3 = nullptr, *Label6 = nullptr,
           *Label7 = nullptr, *Label9 = nullptr, *Label5 = nullptr;
    QLabel *imgOstwick = nullptr, *imgPortrait = nullptr, *Image2 = nullptr;
    // A way out that says so, for those who would not guess that any click
    // or key closes the window.
    QPushButton *cmdChiudi = nullptr;

    void Label4_Click();
    void Label6_Click();
    void Label7_Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Session &m_session;
};

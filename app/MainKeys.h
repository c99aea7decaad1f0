#pragma once
// How the keyboard, the search box and the toolbar drive the main window,
// and the one-line hints of the status bar.

class QAction;
class QEvent;
class QObject;
class Session;
class frmPrincipale;

class MainKeys final {
public:
    MainKeys(Session &session, frmPrincipale &window);

    // An event of a control the window watches; true when it is used up.
    bool route(QObject *watched, QEvent *event);
    // A key anywhere in the window; true when it is used up.
    bool keyDown(int key);
    // Enter (13) or Escape (27) in the search box; true when used up.
    bool searchBoxKey(int character);
    void toolbarButton(QAction *button);

private:
    Session &m_session;
    frmPrincipale &w;
};

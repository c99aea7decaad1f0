#pragma once
// The strip above the body: the formatting toolbar or, in its place, the
// legend of the Ctrl-letter shortcuts. Which of the two shows is the user's
// choice, remembered for the next editors.

#include <QObject>

#include <array>

class QAction;
class QLabel;
class QToolBar;
class QToolButton;
class QWidget;
class Session;

class FormatStrip final : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget *buttonsFrame;
        QToolBar *toolbar;
        std::array<QAction *, 24> buttons{};  // 1..23; separators are null
        QToolButton *closeButtons;            // the toolbar gives way to the legend
        QWidget *legendFrame;
        QLabel *ctrlKey;
        QLabel *plus;
        // The commands' letters, four to a column: bold, italic, underline,
        // cut; indent, outdent, bullets, copy; left, centre, right, paste;
        // font, larger, smaller, colour.
        std::array<QLabel *, 16> legend{};
        QToolButton *openButtons;  // the legend gives way to the toolbar
    };

    FormatStrip(Session &session, QWidget *client);
    const Controls &controls() const { return c; }
    // Captions, tooltips and names in the current language.
    void caption();
    // Shows the toolbar (true) or the legend.
    void showButtons(bool buttons);
    // The user's choice: shown and remembered.
    void choose(bool buttons);

private:
    void buildToolbar();
    void buildLegend(QWidget *client);

    Session &m_session;
    Controls c;
};

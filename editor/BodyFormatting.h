#pragma once
// Formatting the body: the Ctrl-letter commands (Ctrl+B = 2 ...), the
// toolbar's pressed states, the font and colour dialogs and the remembered
// editor font.

#include <Qt>

#include <array>
#include <functional>

class QAction;
class QEvent;
class QTextEdit;
class QTextTable;
class QWidget;
class Session;

class BodyFormatting final {
public:
    // buttons: the editor's toolbar buttons 1 to 23, whose pressed states
    // follow the text at the insertion point.
    BodyFormatting(Session &session, QTextEdit *body, const std::array<QAction *, 24> &buttons, QWidget *window);

    // Where Shift+Tab and Ctrl+Tab leave the body for; what runs the
    // Ctrl-letter codes that are not formatting (print, export).
    void setNeighbours(QWidget *before, QWidget *after) { m_before = before; m_after = after; }
    void setOtherCommands(std::function<void(int)> run) { m_other = std::move(run); }

    // An event of the body: its keys are the commands'. True when used up.
    bool bodyEvent(QEvent *event);
    // Runs the formatting command of a Ctrl-letter code; false when the
    // code is not one.
    bool run(int code);
    void refreshButtons();
    // The remembered font and colour for the text typed at the start.
    void applyEditorFont();

private:
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);
    template <typename Get, typename Set>
    void toggle(Get get, Set set);
    void align(Qt::Alignment a);
    // The left margin moved by step; refused over mixed margins or below 0.
    void indent(double step);
    void resize(double step);
    void toggleList();
    void nextCell(QTextTable *table, bool back);
    void fontDialog();
    void colourDialog();

    Session &m_session;
    QTextEdit *m_body;
    std::array<QAction *, 24> m_buttons;
    QWidget *m_window;
    QWidget *m_before = nullptr;
    QWidget *m_after = nullptr;
    std::function<void(int)> m_other;
};

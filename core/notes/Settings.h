#pragma once
// The preferences kept with the notes (the one Setup record), typed. A
// getter is empty for a field never set (or when the store is not open); a
// setter writes at once and is false, the store's error list saying why,
// when the write was refused.

#include <QDateTime>
#include <QString>

#include <optional>

namespace store {
class NoteStore;
}

namespace notes {

// A font as kept: face, size in points, style letters (B, I, S, U; none
// for a plain font).
struct StoredFont {
    QString face;
    double size = 0;
    QString style;
};

class Settings final {
public:
    // The store is not owned and must outlive this object.
    explicit Settings(store::NoteStore &store) : m_store(store) {}

    // 0 Italian, 1 English; anything else asks at the next start.
    std::optional<int> language() const;
    [[nodiscard]] bool setLanguage(int language);
    // The language kept in a database file that is not open, read aside
    // before the store is opened (to speak in it about the opening); empty
    // when it cannot be read.
    static std::optional<int> languageOfFile(const QString &databasePath);
    // When the program last ran, to tell a clock set back.
    QDateTime lastRun() const;
    [[nodiscard]] bool setLastRun(const QDateTime &when);
    // The category open when the program last ended, and its topic.
    std::optional<int> lastCategory() const;
    [[nodiscard]] bool setLastCategory(int key);
    std::optional<int> lastTopic() const;
    // The main window's font, and the editor's for new text with its colour
    // (a Windows colour value): empty unless face, size and style are all set.
    std::optional<StoredFont> systemFont() const;
    [[nodiscard]] bool setSystemFont(const StoredFont &font);
    std::optional<StoredFont> editorFont() const;
    [[nodiscard]] bool setEditorFont(const StoredFont &font);
    std::optional<qint64> editorColour() const;
    [[nodiscard]] bool setEditorColour(qint64 colour);
    // An editor's last outer size, in twips; empty unless both are set.
    std::optional<std::pair<double, double>> editorSize() const;
    [[nodiscard]] bool setEditorSize(double width, double height);
    // The editor's formatting buttons (true) or the legend of keys.
    bool showButtons() const;
    [[nodiscard]] bool setShowButtons(bool buttons);

private:
    std::optional<StoredFont> font(const char *face, const char *size, const char *style) const;
    bool write(std::initializer_list<std::pair<const char *, QVariant>> fields);
    store::NoteStore &m_store;
};

} // namespace notes

#include "notes/Settings.h"

#include "notes/NoteStore.h"
#include "db/Fields.h"
#include "db/Sqlite.h"

namespace notes {

namespace {

QVariant fieldOf(store::NoteStore &store, const char *name)
{
    return store.setup ? store.setup->field(QString::fromLatin1(name)) : QVariant();
}

std::optional<int> intOf(const QVariant &v)
{
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

} // namespace

bool Settings::write(std::initializer_list<std::pair<const char *, QVariant>> fields)
{
    if (!m_store.setup)
        return false;
    QList<std::pair<QString, QVariant>> named;
    for (const auto &[name, value] : fields)
        named.append({QString::fromLatin1(name), value});
    return m_store.setup->write(named);
}

std::optional<int> Settings::languageOfFile(const QString &databasePath)
{
    store::Connection peek;
    if (!peek.openReadOnly(databasePath))
        return std::nullopt;
    store::Statement st(peek, QStringLiteral("SELECT lingua FROM Setup"));
    if (!st.step() || st.isNull(0))
        return std::nullopt;
    return int(st.columnInt(0));
}

std::optional<int> Settings::language() const
{
    return intOf(fieldOf(m_store, "lingua"));
}

bool Settings::setLanguage(int language)
{
    return write({{"lingua", language}});
}

QDateTime Settings::lastRun() const
{
    return fieldOf(m_store, "UltimoAvvio").toDateTime();
}

bool Settings::setLastRun(const QDateTime &when)
{
    return write({{"UltimoAvvio", when}});
}

std::optional<int> Settings::lastCategory() const
{
    return intOf(fieldOf(m_store, "UltimaCat"));
}

bool Settings::setLastCategory(int key)
{
    return write({{"UltimaCat", key}});
}

std::optional<int> Settings::lastTopic() const
{
    return intOf(fieldOf(m_store, "UltimoArg"));
}

std::optional<StoredFont> Settings::font(const char *face, const char *size, const char *style) const
{
    const QVariant f = fieldOf(m_store, face), s = fieldOf(m_store, size), a = fieldOf(m_store, style);
    if (f.isNull() || s.isNull() || a.isNull())
        return std::nullopt;
    return StoredFont{f.toString(), s.toDouble(), a.toString()};
}

std::optional<StoredFont> Settings::systemFont() const
{
    return font("SysFont", "SysFontAltezza", "SysFontAttributi");
}

bool Settings::setSystemFont(const StoredFont &font)
{
    return write({{"SysFont", font.face}, {"SysFontAltezza", font.size}, {"SysFontAttributi", font.style}});
}

std::optional<StoredFont> Settings::editorFont() const
{
    return font("EditFont", "EditFontAltezza", "EditFontAttributi");
}

bool Settings::setEditorFont(const StoredFont &font)
{
    return write({{"EditFont", font.face}, {"EditFontAltezza", font.size}, {"EditFontAttributi", font.style}});
}

std::optional<qint64> Settings::editorColour() const
{
    const QVariant v = fieldOf(m_store, "Editcolore");
    return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
}

bool Settings::setEditorColour(qint64 colour)
{
    return write({{"Editcolore", colour}});
}

std::optional<std::pair<double, double>> Settings::editorSize() const
{
    const QVariant w = fieldOf(m_store, "UltimaLarg"), h = fieldOf(m_store, "UltimaAlt");
    if (w.isNull() || h.isNull())
        return std::nullopt;
    return std::make_pair(w.toDouble(), h.toDouble());
}

bool Settings::setEditorSize(double width, double height)
{
    return write({{"UltimaLarg", width}, {"UltimaAlt", height}});
}

bool Settings::showButtons() const
{
    return fieldOf(m_store, "mostrapulsanti").toBool();
}

bool Settings::setShowButtons(bool buttons)
{
    return write({{"mostrapulsanti", buttons}});
}

} // namespace notes

#include "db/Like.h"

#include <QList>

#include <sqlite3.h>

#include <cstring>

namespace store {

namespace {

// Simple (one-to-one) case folding of a code point, so that both sides of a
// comparison are folded the same way whatever the letter's script.
char32_t fold(char32_t c)
{
    return QChar::toCaseFolded(c);
}

std::u32string foldedCodePoints(const QString &s)
{
    std::u32string out;
    out.reserve(size_t(s.size()));
    for (char32_t c : s.toUcs4())
        out.push_back(fold(c));
    return out;
}

} // namespace

LikePattern::LikePattern(const QString &pattern) : m_tokens(parse(foldedCodePoints(pattern)))
{
}

std::vector<LikePattern::Token> LikePattern::parse(const std::u32string &p)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < p.size()) {
        const char32_t c = p[i];
        if (c == U'*') {
            // Consecutive stars are one star.
            if (tokens.empty() || tokens.back().kind != Token::AnyRun)
                tokens.push_back({Token::AnyRun, 0, false, {}});
            ++i;
        } else if (c == U'?') {
            tokens.push_back({Token::AnyChar, 0, false, {}});
            ++i;
        } else if (c == U'#') {
            tokens.push_back({Token::Digit, 0, false, {}});
            ++i;
        } else if (c == U'[') {
            // The first character after '[' (or after "[!") may itself be ']'
            // only as the closing bracket; look for the closing bracket.
            size_t j = i + 1;
            bool negated = false;
            if (j < p.size() && p[j] == U'!') {
                negated = true;
                ++j;
            }
            size_t close = j;
            while (close < p.size() && p[close] != U']')
                ++close;
            if (close >= p.size()) {
                // Unclosed list: the bracket stands for itself.
                tokens.push_back({Token::Literal, c, false, {}});
                ++i;
                continue;
            }
            Token t{Token::Class, 0, negated, {}};
            for (size_t k = j; k < close; ++k) {
                if (k + 2 < close && p[k + 1] == U'-') {
                    char32_t lo = p[k], hi = p[k + 2];
                    if (lo > hi)
                        std::swap(lo, hi);
                    t.ranges.push_back({lo, hi});
                    k += 2;
                } else {
                    t.ranges.push_back({p[k], p[k]});
                }
            }
            if (t.ranges.empty() && !negated) {
                // "[]" matches the empty text: it adds nothing to the pattern.
            } else {
                tokens.push_back(std::move(t));
            }
            i = close + 1;
        } else {
            tokens.push_back({Token::Literal, c, false, {}});
            ++i;
        }
    }
    return tokens;
}

bool LikePattern::tokenMatches(const Token &t, char32_t c) const
{
    switch (t.kind) {
    case Token::Literal:
        return t.ch == c;
    case Token::AnyChar:
        return true;
    case Token::Digit:
        return c >= U'0' && c <= U'9';
    case Token::Class: {
        bool in = false;
        for (const Range &r : t.ranges) {
            if (c >= r.lo && c <= r.hi) {
                in = true;
                break;
            }
        }
        if (!in) {
            // A range written in capitals ([A-Z]) must still take a folded
            // (lower-case) letter: try the character's upper-case form too.
            const char32_t up = QChar::toUpper(c);
            if (up != c) {
                for (const Range &r : t.ranges) {
                    if (up >= r.lo && up <= r.hi) {
                        in = true;
                        break;
                    }
                }
            }
        }
        return in != t.negated;
    }
    case Token::AnyRun:
        break;
    }
    return false;
}

bool LikePattern::matches(const QString &text) const
{
    const std::u32string s = foldedCodePoints(text);
    // Every token but '*' takes exactly one character, so the classic
    // two-pointer walk with one backtrack point is enough and never takes
    // more than pattern length x text length steps.
    size_t ti = 0, si = 0;
    size_t starToken = size_t(-1), starText = 0;
    const size_t n = m_tokens.size();
    while (si < s.size()) {
        if (ti < n && m_tokens[ti].kind == Token::AnyRun) {
            // A final '*' takes whatever is left.
            if (ti + 1 == n)
                return true;
            starToken = ti++;
            starText = si;
        } else if (ti < n && tokenMatches(m_tokens[ti], s[si])) {
            ++ti;
            ++si;
        } else if (starToken != size_t(-1)) {
            ti = starToken + 1;
            si = ++starText;
        } else {
            return false;
        }
    }
    while (ti < n && m_tokens[ti].kind == Token::AnyRun)
        ++ti;
    return ti == n;
}

QStringList LikePattern::literalRuns() const
{
    QStringList runs;
    QString current;
    for (const Token &t : m_tokens) {
        if (t.kind == Token::Literal) {
            current += QString::fromUcs4(&t.ch, 1);
        } else if (!current.isEmpty()) {
            runs << current;
            current.clear();
        }
    }
    if (!current.isEmpty())
        runs << current;
    return runs;
}

QStringList LikePattern::searchSegments(const QString &pattern)
{
    const QList<uint> ucs4 = pattern.toUcs4();
    std::vector<Token> tokens = parse(std::u32string(ucs4.begin(), ucs4.end()));
    // An occurrence may stand anywhere: stars at either end add nothing.
    while (!tokens.empty() && tokens.front().kind == Token::AnyRun)
        tokens.erase(tokens.begin());
    while (!tokens.empty() && tokens.back().kind == Token::AnyRun)
        tokens.pop_back();
    const auto hex = [](char32_t c) { return QStringLiteral("\\x{%1}").arg(uint(c), 0, 16); };
    QStringList segments;
    QString current;
    for (const Token &t : tokens) {
        switch (t.kind) {
        case Token::AnyRun:
            segments << current;
            current.clear();
            break;
        case Token::Literal:
            current += hex(t.ch);
            break;
        case Token::AnyChar:
            current += QLatin1Char('.');
            break;
        case Token::Digit:
            current += QStringLiteral("[0-9]");
            break;
        case Token::Class:
            if (t.ranges.empty()) {
                current += QLatin1Char('.');  // "[!]": any one character
                break;
            }
            current += t.negated ? QStringLiteral("[^") : QStringLiteral("[");
            for (const Range &r : t.ranges)
                current += r.lo == r.hi ? hex(r.lo) : hex(r.lo) + QLatin1Char('-') + hex(r.hi);
            current += QLatin1Char(']');
            break;
        }
    }
    if (!current.isEmpty())
        segments << current;
    return segments;
}

namespace {

// One code point of UTF-8 at p (before end), case-folded; advances p. A
// malformed byte counts as one replacement character.
inline char32_t nextFolded(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char b = *p;
    if (b < 0x80) {
        ++p;
        return (b >= 'A' && b <= 'Z') ? char32_t(b + 32) : char32_t(b);
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b & 0xe0) == 0xc0) {
        extra = 1;
        cp = b & 0x1f;
    } else if ((b & 0xf0) == 0xe0) {
        extra = 2;
        cp = b & 0x0f;
    } else if ((b & 0xf8) == 0xf0) {
        extra = 3;
        cp = b & 0x07;
    } else {
        ++p;
        return 0xfffd;
    }
    if (end - p <= extra) {
        p = end;
        return 0xfffd;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xc0) != 0x80) {
            ++p;
            return 0xfffd;
        }
        cp = (cp << 6) | (p[i] & 0x3f);
    }
    p += extra + 1;
    return QChar::toCaseFolded(cp);
}

} // namespace

bool LikePattern::matchesUtf8(const char *text, qsizetype size) const
{
    // The walk of matches(), on byte positions of the UTF-8 text.
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *const end = s + size;
    size_t ti = 0;
    const size_t n = m_tokens.size();
    size_t starToken = size_t(-1);
    const unsigned char *starText = nullptr;
    // After a '*', a plain ASCII letter or sign that follows it can only
    // match that byte in either case: skip straight to it. Not for k, s and
    // i, which some non-ASCII letters fold to.
    const auto skipTo = [&](const unsigned char *from) {
        if (starToken + 1 >= n || m_tokens[starToken + 1].kind != Token::Literal)
            return from;
        const char32_t lit = m_tokens[starToken + 1].ch;
        if (lit >= 0x80 || lit == U'k' || lit == U's' || lit == U'i')
            return from;
        const auto lo = static_cast<unsigned char>(lit);
        const auto up = static_cast<unsigned char>((lo >= 'a' && lo <= 'z') ? lo - 32 : lo);
        // Two searches that the C library does many bytes at a time: the
        // small letter, then the capital only before it.
        const auto *small = static_cast<const unsigned char *>(std::memchr(from, lo, size_t(end - from)));
        const unsigned char *until = small ? small : end;
        if (up == lo)
            return until;
        const auto *capital = static_cast<const unsigned char *>(std::memchr(from, up, size_t(until - from)));
        return capital ? capital : until;
    };
    while (s < end) {
        if (ti < n && m_tokens[ti].kind == Token::AnyRun) {
            if (ti + 1 == n)
                return true;
            starToken = ti++;
            starText = skipTo(s);
            s = starText;
            continue;
        }
        const unsigned char *next = s;
        const char32_t c = nextFolded(next, end);
        if (ti < n && tokenMatches(m_tokens[ti], c)) {
            ++ti;
            s = next;
        } else if (starToken != size_t(-1)) {
            ti = starToken + 1;
            const unsigned char *adv = starText;
            nextFolded(adv, end);
            starText = skipTo(adv);
            s = starText;
        } else {
            return false;
        }
    }
    while (ti < n && m_tokens[ti].kind == Token::AnyRun)
        ++ti;
    return ti == n;
}

namespace {

QString argText(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    return p ? QString::fromUtf8(p, n) : QString();
}

void deletePattern(void *p)
{
    delete static_cast<LikePattern *>(p);
}

void sqlLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 2)
        return;
    // SQLite calls like(pattern, text): argument 0 is the pattern.
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // The pattern is usually constant for a statement: compile it once.
    auto *compiled = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
    if (!compiled) {
        compiled = new LikePattern(argText(argv[0]));
        sqlite3_set_auxdata(ctx, 0, compiled, deletePattern);
        compiled = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
        if (!compiled) {
            // SQLite chose not to keep it (it already deleted it).
            LikePattern once(argText(argv[0]));
            sqlite3_result_int(ctx, once.matches(argText(argv[1])) ? 1 : 0);
            return;
        }
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, compiled->matchesUtf8(text, sqlite3_value_bytes(argv[1])) ? 1 : 0);
}

} // namespace

bool registerLike(sqlite3 *db)
{
    return sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlLike,
                                   nullptr, nullptr)
        == SQLITE_OK;
}

} // namespace store

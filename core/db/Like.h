#pragma once
// The wildcard matcher behind both the LIKE operator of our SQL and the
// search box:
//   *        any run of characters, also none
//   ?        any one character
//   #        any one digit 0-9
//   [abc]    any one character of the list; ranges such as [a-z] allowed
//   [!abc]   any one character not in the list
// Matching ignores letter case, for non-ASCII letters too. A '[' without its
// closing ']' stands for itself, and so does everything after it, so a
// malformed pattern never fails: it is matched literally.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

struct sqlite3;

namespace store {

class LikePattern final {
public:
    explicit LikePattern(const QString &pattern);
    // What the search box and Find in topics look for when words are typed:
    // the words anywhere in the text, their wildcards kept.
    static QString anywhere(const QString &typed) { return QLatin1Char('*') + typed + QLatin1Char('*'); }
    bool matches(const QString &text) const;
    // The same on UTF-8 text, without converting it first.
    bool matchesUtf8(const char *text, qsizetype size) const;
    // The runs of literal characters between wildcards, case-folded: every
    // text the pattern matches holds each of them.
    QStringList literalRuns() const;
    // True when the pattern ends with '*': a text it matches is then matched
    // with anything after it too, so a match of a text's beginning is a
    // match of the whole text.
    bool endsWithAnyRun() const { return !m_tokens.empty() && m_tokens.back().kind == Token::AnyRun; }
    // Where a pattern occurs in a text rather than whether it matches all of
    // it: the pieces between its stars, in order, each a regular expression
    // (for a match taking any character, '.' included, and ignoring case as
    // the caller chooses). Stars at either end are dropped; an empty list
    // means the pattern finds nothing in particular.
    static QStringList searchSegments(const QString &pattern);

private:
    struct Range {
        char32_t lo;
        char32_t hi;
    };
    struct Token {
        enum Kind { Literal, AnyChar, Digit, AnyRun, Class } kind;
        char32_t ch = 0;        // Literal
        bool negated = false;   // Class
        std::vector<Range> ranges;  // Class
    };
    static std::vector<Token> parse(const std::u32string &pattern);
    bool tokenMatches(const Token &t, char32_t c) const;

    std::vector<Token> m_tokens;
};


// Registers the matcher as SQLite's like(pattern, text) for this connection,
// so that "x LIKE 'pattern'" in our SQL follows the rules above.
bool registerLike(sqlite3 *db);

} // namespace store

#include "db/Like.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Each case through both matchers: on text, and on the UTF-8 bytes the
// store hands over.
TEST(Like, PatternTable)
{
    const struct {
        const char *pattern, *text;
        bool match;
    } cases[] = {
        // Lists, ranges (ignoring case) and negation; inside a list the
        // wildcards stand for themselves, and so does a hyphen at an end.
        {"[abc]x", "bx", true}, {"[abc]x", "dx", false}, {"[a-f]1", "E1", true}, {"[A-F]1", "e1", true},
        {"[a-f]1", "g1", false}, {"[!a-f]1", "g1", true}, {"[!a-f]1", "c1", false}, {"a[*]b", "a*b", true},
        {"a[*]b", "axb", false}, {"[-x]", "-", true}, {"[x-]", "-", true}, {"a[#?]b", "a?b", true},
        {"a[#?]b", "a5b", false},
        // An unclosed bracket is literal.
        {"*[abc*", "x[abcy", true}, {"*[abc*", "xay", false}, {"[", "[", true},
        // Case is ignored beyond ASCII; a character outside the basic plane is one.
        {"*città*", "LA CITTÀ ETERNA", true}, {"ÉTÉ", "été", true}, {"*ΣΟΦΙΑ*", "η σοφια", true},
        {"[à-ù]", "È", true}, {"a?b", "a\U0001F600b", true},
        // Letters beyond ASCII that fold to k and s (İ is no i): a scan that
        // skips ahead to an ASCII letter after a star must not pass them by.
        {"*k*", "\u212Aelvin", true}, {"*s?s*", "\u017Fus", true}, {"*i*", "\u0130stanbul", false},
        {"*\uFB00*", "o\uFB00", true},
    };
    for (const auto &c : cases) {
        const store::LikePattern like(QString::fromUtf8(c.pattern));
        const QByteArray utf8(c.text);
        EXPECT_EQ(like.matches(QString::fromUtf8(c.text)), c.match) << c.pattern << c.text;
        EXPECT_EQ(like.matchesUtf8(utf8.constData(), utf8.size()), c.match) << c.pattern << c.text << " (UTF-8)";
    }
    // Pathological patterns finish (a backtracking matcher would not).
    const QString text = QString(5000, QLatin1Char('a'));
    EXPECT_FALSE(store::LikePattern(u"*a*a*a*a*a*a*a*a*a*b"_s).matches(text));
    EXPECT_TRUE(store::LikePattern(u"*a*a*a*a*a*a*a*a*a*"_s).matches(text));
}

// Random patterns against a regular expression written from the same
// pattern: both ways of matching must agree with it.
TEST(Like, AgreesWithARegularExpressionOnRandomPatterns)
{
    QRandomGenerator random(20261206);
    // Pieces of a pattern and what each stands for; a sixth draw is a letter.
    const std::pair<QString, QString> pieces[] = {
        {u"*"_s, u".*"_s}, {u"?"_s, u"."_s}, {u"#"_s, u"[0-9]"_s}, {u"[a-b]"_s, u"[a-b]"_s}, {u"[!a]"_s, u"[^a]"_s}};
    const QString letters = u"abAB1 è"_s, textLetters = u"aAbB12 èÈx"_s;
    int matched = 0;
    for (int round = 0; round < 3000; ++round) {
        QString pattern, regex;
        const int tokens = random.bounded(1, 7);
        for (int i = 0; i < tokens; ++i) {
            const int pick = random.bounded(6);
            const QString letter = letters.at(random.bounded(int(letters.size())));
            pattern += pick < 5 ? pieces[pick].first : letter;
            regex += pick < 5 ? pieces[pick].second : QRegularExpression::escape(letter);
        }
        const QRegularExpression re(u"\\A(?:"_s + regex + u")\\z"_s, QRegularExpression::CaseInsensitiveOption
                                                                         | QRegularExpression::DotMatchesEverythingOption);
        ASSERT_TRUE(re.isValid()) << regex.toStdString();
        QString text;
        const int length = random.bounded(0, 14);
        for (int i = 0; i < length; ++i)
            text += textLetters.at(random.bounded(int(textLetters.size())));
        const bool expected = re.match(text).hasMatch();
        matched += expected;
        const store::LikePattern like(pattern);
        const QByteArray utf8 = text.toUtf8();
        EXPECT_EQ(like.matches(text), expected) << pattern.toStdString() << " on " << text.toStdString();
        EXPECT_EQ(like.matchesUtf8(utf8.constData(), utf8.size()), expected)
            << pattern.toStdString() << " on " << text.toStdString();
    }
    EXPECT_GT(matched, 300) << "the sample must hold matches as well as misses";
}

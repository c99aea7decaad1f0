#include "Like.h"
#include "NoteStore.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

using store::likeMatch;

TEST(Like, StarMatchesAnyRunIncludingNone)
{
    EXPECT_TRUE(likeMatch(QStringLiteral("*mar*"), QStringLiteral("Marmellata")));
    EXPECT_TRUE(likeMatch(QStringLiteral("*"), QString()));
    EXPECT_TRUE(likeMatch(QStringLiteral("a*b*c"), QStringLiteral("abc")));
    EXPECT_TRUE(likeMatch(QStringLiteral("a**c"), QStringLiteral("axxxc")));
    EXPECT_FALSE(likeMatch(QStringLiteral("a*c"), QStringLiteral("abcd")));
    EXPECT_FALSE(likeMatch(QStringLiteral("mar"), QStringLiteral("Marmellata")));  // no implicit stars
}

TEST(Like, QuestionMarkAndHashTakeExactlyOneCharacter)
{
    EXPECT_TRUE(likeMatch(QStringLiteral("*a?c*"), QStringLiteral("xxABCxx")));
    EXPECT_TRUE(likeMatch(QStringLiteral("*a?c*"), QStringLiteral("A1C")));
    EXPECT_FALSE(likeMatch(QStringLiteral("a?c"), QStringLiteral("ac")));
    EXPECT_TRUE(likeMatch(QStringLiteral("*20#9*"), QStringLiteral("Anno 2019")));
    EXPECT_FALSE(likeMatch(QStringLiteral("*20#9*"), QStringLiteral("Anno 20x9")));
    EXPECT_FALSE(likeMatch(QStringLiteral("#"), QStringLiteral("")));
}

TEST(Like, BracketListsRangesAndNegation)
{
    EXPECT_TRUE(likeMatch(QStringLiteral("[abc]x"), QStringLiteral("bx")));
    EXPECT_FALSE(likeMatch(QStringLiteral("[abc]x"), QStringLiteral("dx")));
    EXPECT_TRUE(likeMatch(QStringLiteral("[a-f]1"), QStringLiteral("E1")));  // range ignores case too
    EXPECT_TRUE(likeMatch(QStringLiteral("[A-F]1"), QStringLiteral("e1")));
    EXPECT_FALSE(likeMatch(QStringLiteral("[a-f]1"), QStringLiteral("g1")));
    EXPECT_TRUE(likeMatch(QStringLiteral("[!a-f]1"), QStringLiteral("g1")));
    EXPECT_FALSE(likeMatch(QStringLiteral("[!a-f]1"), QStringLiteral("c1")));
    // Inside a list the wildcards stand for themselves, and so does a hyphen at an end.
    EXPECT_TRUE(likeMatch(QStringLiteral("a[*]b"), QStringLiteral("a*b")));
    EXPECT_FALSE(likeMatch(QStringLiteral("a[*]b"), QStringLiteral("axb")));
    EXPECT_TRUE(likeMatch(QStringLiteral("[-x]"), QStringLiteral("-")));
    EXPECT_TRUE(likeMatch(QStringLiteral("[x-]"), QStringLiteral("-")));
    EXPECT_TRUE(likeMatch(QStringLiteral("a[#?]b"), QStringLiteral("a?b")));
    EXPECT_FALSE(likeMatch(QStringLiteral("a[#?]b"), QStringLiteral("a5b")));
}

TEST(Like, UnclosedBracketIsMatchedLiterally)
{
    EXPECT_TRUE(likeMatch(QStringLiteral("*[abc*"), QStringLiteral("x[abcy")));
    EXPECT_FALSE(likeMatch(QStringLiteral("*[abc*"), QStringLiteral("xay")));
    EXPECT_TRUE(likeMatch(QStringLiteral("["), QStringLiteral("[")));
}

TEST(Like, CaseIsIgnoredForNonAsciiLettersToo)
{
    EXPECT_TRUE(likeMatch(QStringLiteral("*città*"), QStringLiteral("LA CITTÀ ETERNA")));
    EXPECT_TRUE(likeMatch(QStringLiteral("ÉTÉ"), QStringLiteral("été")));
    EXPECT_TRUE(likeMatch(QStringLiteral("*ΣΟΦΙΑ*"), QStringLiteral("η σοφια")));
    EXPECT_TRUE(likeMatch(QStringLiteral("[à-ù]"), QStringLiteral("È")));
    // Characters outside the basic plane count as one character each.
    EXPECT_TRUE(likeMatch(QStringLiteral("a?b"), QStringLiteral("a\U0001F600b")));
}

TEST(Like, PathologicalPatternsFinishQuickly)
{
    const QString text = QString(5000, QLatin1Char('a'));
    EXPECT_FALSE(likeMatch(QStringLiteral("*a*a*a*a*a*a*a*a*a*b"), text));
    EXPECT_TRUE(likeMatch(QStringLiteral("*a*a*a*a*a*a*a*a*a*"), text));
}

TEST(Like, IsTheLikeOperatorOfTheStore)
{
    TempDir dir;
    const QString path = store::JoinPath(dir.path(), store::kDatabaseFileName);
    QString err;
    ASSERT_TRUE(store::NoteStore::createDatabase(path, QDateTime::currentDateTime(), &err)) << err.toStdString();
    store::NoteStore ns;
    ns.DataFolder = dir.path();
    ASSERT_TRUE(ns.open()) << ns.errorText().toStdString();
    for (const char *t : {"Agenda", "Marmellata", "Summary 2019", "ciTTà"}) {
        ns.rsArgomenti->addNew();
        ns.rsArgomenti->setField(QStringLiteral("argomento"), QString::fromUtf8(t));
        ns.rsArgomenti->setField(QStringLiteral("ContenutoTxt"), QStringLiteral("body of ") + QString::fromUtf8(t));
        ASSERT_TRUE(ns.rsArgomenti->update());
    }
    // The statement of the find command, with the names in other letter cases.
    auto rs = ns.openQuery(QStringLiteral(
        "SELECT * FROM ARGOMENTI WHERE ContenutoTxt LIKE '*20#9*' OR Argomento LIKE '*20#9*'"));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->field(QStringLiteral("argomento")).toString(), QStringLiteral("Summary 2019"));

    rs = ns.openQuery(QStringLiteral("SELECT * FROM Argomenti WHERE argomento LIKE 'CITTÀ'"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->recordCount(), 1);
    rs = ns.openQuery(QStringLiteral("SELECT * FROM Argomenti WHERE argomento LIKE '%'"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->recordCount(), 0) << "'%' is not a wildcard here";
}

TEST(Like, Utf8MatchingAgreesWithTextMatching)
{
    const char *const patterns[] = {"*mar*", "*a?c*", "*20#9*", "*[a-f]1*", "*[!x]y*", "*città*", "*k*", "*s?s*",
                                    "*i*", "*[abc*", "*ΣΟΦ*", "a*b*c", "*", "*ĸ*", "*ﬀ*"};
    const char *const texts[] = {"Marmellata", "xxABCxx", "Anno 2019", "E1", "zy", "LA CITTÀ", "\xe2\x84\xaa" "elvin",
                                 "ſus", "İstanbul", "x[abcy", "η σοφια", "axbxc", "", "plain", "oﬀ", "KELVIN"};
    for (const char *p : patterns) {
        const store::LikePattern like(QString::fromUtf8(p));
        for (const char *t : texts) {
            const QByteArray utf8(t);
            EXPECT_EQ(like.matchesUtf8(utf8.constData(), utf8.size()), like.matches(QString::fromUtf8(utf8)))
                << p << " on " << t;
        }
    }
}

// Random patterns against a regular expression written from the same
// pattern: both ways of matching must agree with it.
TEST(Like, AgreesWithARegularExpressionOnRandomPatterns)
{
    QRandomGenerator random(20261206);
    const QString letters = QStringLiteral("abAB1 è");
    const QString textLetters = QStringLiteral("aAbB12 èÈx");
    int matched = 0;
    for (int round = 0; round < 3000; ++round) {
        QString pattern, regex;
        const int tokens = random.bounded(1, 7);
        for (int i = 0; i < tokens; ++i) {
            switch (random.bounded(6)) {
            case 0: pattern += u'*'; regex += QStringLiteral(".*"); break;
            case 1: pattern += u'?'; regex += u'.'; break;
            case 2: pattern += u'#'; regex += QStringLiteral("[0-9]"); break;
            case 3: pattern += QStringLiteral("[a-b]"); regex += QStringLiteral("[a-b]"); break;
            case 4: pattern += QStringLiteral("[!a]"); regex += QStringLiteral("[^a]"); break;
            default: {
                const QChar c = letters.at(random.bounded(int(letters.size())));
                pattern += c;
                regex += QRegularExpression::escape(QString(c));
            }
            }
        }
        const QRegularExpression re(QStringLiteral("\\A(?:") + regex + QStringLiteral(")\\z"),
                                    QRegularExpression::CaseInsensitiveOption
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

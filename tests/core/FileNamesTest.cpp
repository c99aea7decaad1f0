// The file name a title gives, for the editor's export and the tool's.

#include "notes/FileNames.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FileNames, ATitleKeepsWhatAFileNameMayHold)
{
    const struct {
        QString title, name;
    } cases[] = {
        {u"a:b/c?d\"e<f>g|h*"_s, u"abcdefgh"_s},
        {u"lunedì 12 (note)"_s, u"lunedì 12 (note)"_s},
        {u"ÀB"_s, u"B"_s},  // upper-case accented letters go
        {u"x\\y'z`.~"_s, u"x\\y'z`.~"_s},
        {u"北京"_s, QString()},
        {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(notes::titleToFileName(c.title), c.name) << c.title.toStdString();
}

TEST(FileNames, AFileTheToolMakesAlwaysHasAUsableName)
{
    const struct {
        QString title, name;
    } cases[] = {
        {u"a/b: c?"_s, u"ab c"_s},  // as the editor proposes
        {u"北京"_s, u"_"_s},
        {u".."_s, u"_"_s},
        {u"  notes. "_s, u"notes"_s},
        {u"con.txt"_s, u"_con.txt"_s},
        {u"LPT1"_s, u"_LPT1"_s},
        {QString(300, u'a'), QString(200, u'a')},
    };
    for (const auto &c : cases)
        EXPECT_EQ(notes::fileNameFor(c.title), c.name) << c.title.toStdString();
}

#include "QtPrinters.h"
#include "Rtf.h"
#include "TempDir.h"

#include <QProcess>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RtfTool, PrintsTheTextOrTheRewrittenDocumentAndUnreadableInputIsAClearError)
{
    TempDir dir;
    const QByteArray source = "{\\rtf1\\ansi Citt\\'e0 {\\b forte}\\par seconda}";
    const QString file = TempDir::write(dir.file(u"a.rtf"_s), source);
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(source, &doc));
    // Unreadable input is a clear error, not a crash; text that is not RTF
    // is shown as the text it is, as the editor does.
    const struct {
        QStringList args;
        int code;
        QString out, err;
    } cases[] = {
        {{u"--rtf"_s, file}, 0, QString::fromLatin1(rtf::write(&doc)), {}},
        {{u"--text"_s, file}, 0, u"Città forte\nseconda\n"_s, {}},
        {{u"--text"_s, dir.file(u"none.rtf"_s)}, 1, {}, u"cannot read"_s},
        {{u"--text"_s, TempDir::write(dir.file(u"b.rtf"_s), QByteArray("\x00\x01\x02", 3))}, 1, {}, u"not an RTF document"_s},
        {{}, 2, {}, {}},
        {{u"--text"_s, TempDir::write(dir.file(u"c.rtf"_s), "just words")}, 0, u"just words\n"_s, {}},
    };
    for (const auto &c : cases) {
        const std::string args = c.args.join(u' ').toStdString();
        QProcess tool;
        tool.start(QStringLiteral(QUORVEL_RTF_TOOL), c.args);
        ASSERT_TRUE(tool.waitForFinished(20000)) << args;
        EXPECT_EQ(tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, c.code) << args;
        EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()), c.out) << args;
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        EXPECT_TRUE(err.contains(c.err)) << args << ": " << err.toStdString();
    }
}

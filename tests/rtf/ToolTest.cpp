#include "QtPrinters.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
struct Result {
    int code;
    QString out;
    QString err;
};

Result runTool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(QUORVEL_RTF_TOOL), args);
    EXPECT_TRUE(p.waitForFinished(20000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

TEST(RtfTool, PrintsTheTextOrTheRewrittenDocumentAndUnreadableInputIsAClearError)
{
    TempDir dir;
    const QString file = TempDir::write(dir.file(u"a.rtf"_s), "{\\rtf1\\ansi Citt\\'e0 {\\b forte}\\par seconda}");
    const Result rtf = runTool({u"--rtf"_s, file});
    EXPECT_EQ(rtf.code, 0);
    EXPECT_TRUE(rtf.out.startsWith(QLatin1String("{\\rtf1")) && rtf.out.contains(QLatin1String("\\b "))) << rtf.out.toStdString();
    // Unreadable input is a clear error, not a crash; text that is not RTF
    // is shown as the text it is, as the editor does.
    const struct {
        QStringList args;
        int code;
        QString out, err;
    } cases[] = {
        {{u"--text"_s, file}, 0, u"Città forte\nseconda\n"_s, {}},
        {{u"--text"_s, dir.file(u"none.rtf"_s)}, 1, {}, u"cannot read"_s},
        {{u"--text"_s, TempDir::write(dir.file(u"b.rtf"_s), QByteArray("\x00\x01\x02", 3))}, 1, {}, u"not an RTF document"_s},
        {{}, 2, {}, {}},
        {{u"--text"_s, TempDir::write(dir.file(u"c.rtf"_s), "just words")}, 0, u"just words\n"_s, {}},
    };
    for (const auto &c : cases) {
        const Result r = runTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(u' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
}

#include "QtPrinters.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

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

QString write(const TempDir &dir, const char *name, const QByteArray &data)
{
    return TempDir::write(dir.file(QString::fromLatin1(name)), data);
}
} // namespace

TEST(RtfTool, PrintsTheTextOrTheRewrittenDocumentAndUnreadableInputIsAClearError)
{
    TempDir dir;
    const QString file = write(dir, "a.rtf", "{\\rtf1\\ansi Citt\\'e0 {\\b forte}\\par seconda}");
    const Result text = runTool({QStringLiteral("--text"), file});
    EXPECT_EQ(text.code, 0);
    EXPECT_EQ(text.out, QStringLiteral("Città forte\nseconda\n"));
    const Result rtf = runTool({QStringLiteral("--rtf"), file});
    EXPECT_EQ(rtf.code, 0);
    EXPECT_TRUE(rtf.out.startsWith(QLatin1String("{\\rtf1")));
    EXPECT_TRUE(rtf.out.contains(QLatin1String("\\b ")));

    // Unreadable input is a clear error, not a crash.
    const Result missing = runTool({QStringLiteral("--text"), dir.file(QStringLiteral("none.rtf"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(QLatin1String("cannot read")));
    const Result binary = runTool({QStringLiteral("--text"), write(dir, "b.rtf", QByteArray("\x00\x01\x02", 3))});
    EXPECT_EQ(binary.code, 1);
    EXPECT_TRUE(binary.err.contains(QLatin1String("not an RTF document")));
    const Result usage = runTool({});
    EXPECT_EQ(usage.code, 2);
    // Text that is not RTF is shown as the text it is, as the editor does.
    const Result plain = runTool({QStringLiteral("--text"), write(dir, "c.rtf", "just words")});
    EXPECT_EQ(plain.code, 0);
    EXPECT_EQ(plain.out, QStringLiteral("just words\n"));
}

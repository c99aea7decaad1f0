#include "BrowserFixture.h"
#include "ModalDriver.h"
#include "PrintRichText.h"
#include "QtPlatform.h"
#include "Str.h"
#include "Rtf.h"

#include <QComboBox>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextTable>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

namespace {
// A printed file's text, each page ended by a form feed.
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-q"), pdf, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class ExportPrint : public BrowserFixture {
protected:
    void SetUp() override
    {
        BrowserFixture::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext is not installed (tools/deps.sh installs poppler-utils)";
        e = openTopic(QStringLiteral("Agenda"));
    }
    frmNuovoArg *e = nullptr;
};

TEST_F(ExportPrint, EachLineIsPrintedOnceUnderTheTitleOnEveryPage)
{
    // Printed under the title as it stands in the window. Lines of mixed
    // heights, so that page ends fall anywhere within a line.
    e->rtfContenuto->clear();
    e->txtArgomento->setText(QStringLiteral("Shopping list"));
    QTextCursor c(e->rtfContenuto->document());
    for (int i = 1; i <= 300; ++i) {
        QTextCharFormat f;
        f.setFontPointSize(i % 7 == 0 ? 17 : i % 3 == 0 ? 9.5 : 12);
        if (i > 1)
            c.insertBlock();
        c.insertText(QStringLiteral("Line number %1 of a long note").arg(i), f);
    }
    const QString pdf = home.file(QStringLiteral("long.pdf"));
    services.dialogs.expectPrint(pdf);
    e->Toolbar1_ButtonClick(e->ToolbarButtons[2]);
    const QString all = pdfText(pdf);
    QStringList pages = all.split(QLatin1Char('\f'));
    pages.removeLast();  // what follows the last page's end
    ASSERT_GE(pages.size(), 3);
    for (const QString &page : pages)
        EXPECT_TRUE(page.contains(QLatin1String("Shopping list"))) << page.left(200).toStdString();
    // The body goes on where the previous page stopped: no line lost, none
    // clipped at a page's foot and shown again at the next one's head.
    for (int i = 1; i <= 300; ++i)
        EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("Line number %1 of").arg(i))), 1) << i;
}

// A table goes on over pages with its layout, and a page ends between lines
// of every cell of a row: none is cut and printed again.
TEST_F(ExportPrint, EachLineOfATableIsPrintedOnce)
{
    e->rtfContenuto->clear();
    QTextCursor c(e->rtfContenuto->document());
    QTextTable *table = c.insertTable(120, 2);
    for (int r = 0; r < 120; ++r) {
        QTextCharFormat f;
        f.setFontPointSize(r % 5 == 0 ? 17 : 11);
        table->cellAt(r, 0).firstCursorPosition().insertText(QStringLiteral("Left %1 of a table").arg(r), f);
        f.setFontPointSize(r % 3 == 0 ? 9 : 14);
        table->cellAt(r, 1).firstCursorPosition().insertText(QStringLiteral("Right %1 of a table").arg(r), f);
    }
    const QString pdf = home.file(QStringLiteral("table.pdf"));
    services.dialogs.expectPrint(pdf);
    e->Toolbar1_ButtonClick(e->ToolbarButtons[2]);
    const QString all = pdfText(pdf);
    ASSERT_GE(all.count(QLatin1Char('\f')), 3);
    for (int r = 0; r < 120; ++r)
        for (const char *side : {"Left", "Right"})
            EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("%1 %2 of").arg(QLatin1String(side)).arg(r))), 1) << side << r;
}

TEST_F(ExportPrint, APictureTallerThanAPageEndsTheJob)
{
    // A picture taller than a page, then a line: the job still ends.
    QTextDocument doc;
    QTextCursor at(&doc);
    QImage tall(10, 10, QImage::Format_RGB32);
    tall.fill(Qt::red);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("img://tall")), tall);
    QTextImageFormat f;
    f.setName(QStringLiteral("img://tall"));
    f.setWidth(200);
    f.setHeight(5000);
    at.insertBlock(QTextBlockFormat());
    at.insertImage(f);
    at.insertText(QStringLiteral("after"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(home.file(QStringLiteral("tall.pdf")));
    const PrintedPages printed = PrintRichText(&printer, QStringLiteral("Title"), &doc, 1440, 1440, 1440, 1440);
    EXPECT_TRUE(printed.ok);
    EXPECT_GE(printed.pages, 1);
    EXPECT_LT(printed.pages, 50);
}

TEST_F(ExportPrint, ExportWritesRtfOrTextByTheNamesEnding)
{
    e->txtArgomento->setText(QStringLiteral("Note: a/b?"));
    e->rtfContenuto->setPlainText(QStringLiteral("città\nseconda"));
    const QString rtfPath = home.file(QStringLiteral("out.Rtf"));
    services.dialogs.expectSaveFile(rtfPath);
    e->mnuEsporta_Click();
    EXPECT_EQ(services.dialogs.lastSaveFileName, QStringLiteral("Note ab")) << "the title as a file name";
    const QByteArray rtf = TempDir::read(rtfPath);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    QTextDocument back;
    ASSERT_TRUE(rtf::read(rtf, &back));
    EXPECT_EQ(rtf::plainText(&back), QStringLiteral("città\nseconda"));

    const QString txtPath = home.file(QStringLiteral("out.doc"));
    services.dialogs.expectSaveFile(txtPath);
    e->mnuEsporta_Click();
    EXPECT_EQ(QString::fromUtf8(TempDir::read(txtPath)), QStringLiteral("città\nseconda"));
}

// The real save dialog: a name typed without an ending gets that of the
// file type chosen, so that choosing Text makes a text file.
TEST_F(ExportPrint, TheFileTypeChosenGivesANameWithoutEndingItsOwn)
{
    platform::QtDialogs dialogs;
    const struct {
        int type;
        const char *ending;
    } cases[] = {{1, ".TXT"}, {0, ".RTF"}};
    for (const auto &c : cases) {
        auto driver = whenShown<QFileDialog>([&](QFileDialog *dialog) {
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            types->setCurrentIndex(c.type);
            // As a person's choice in the list comes.
            emit types->activated(c.type);
            emit types->textActivated(types->itemText(c.type));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto path = dialogs.GetSaveFileName(e, QStringLiteral("Export"), home.file(QStringLiteral("Table")),
                                                  session->GetString(Str::ExportFilter), QStringLiteral(".RTF"));
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(*path, home.file(QStringLiteral("Table")) + QLatin1String(c.ending));
    }
}

TEST_F(ExportPrint, ExportReplacesAFileOnlyAfterYesAHiddenOneToo)
{
    e->rtfContenuto->setPlainText(QStringLiteral("città\nseconda"));
    for (const char *name : {"old.txt", ".hidden.txt"}) {
        const QString path = home.file(QString::fromLatin1(name));
        ASSERT_FALSE(TempDir::write(path, "old content").isEmpty());
        for (const int answer : {platform::vbNo, platform::vbYes}) {
            services.dialogs.expectSaveFile(path);
            services.dialogs.expectMsgBox(answer);
            e->mnuEsporta_Click();
            EXPECT_EQ(services.dialogs.shown().constLast().prompt, QStringLiteral("Overwrite existing file?")) << name;
            EXPECT_EQ(QString::fromUtf8(TempDir::read(path)),
                      answer == platform::vbYes ? QStringLiteral("città\nseconda") : QStringLiteral("old content"))
                << name;
        }
    }
}

TEST_F(ExportPrint, AFailedExportIsToldAndACancelWritesNothing)
{
    services.dialogs.expectSaveFile(home.file(QStringLiteral("no/such/folder/x.rtf")));
    services.dialogs.expectMsgBox();
    e->mnuEsporta_Click();
    EXPECT_EQ(services.dialogs.shown().constLast().style, platform::vbCritical);
    EXPECT_TRUE(services.dialogs.shown().constLast().prompt.startsWith(QLatin1String("Unable to write the file.")));
    EXPECT_TRUE(e->isVisible());

    services.dialogs.expectSaveFile(std::nullopt);
    e->mnuEsporta_Click();  // cancelled: nothing asked, nothing written
}

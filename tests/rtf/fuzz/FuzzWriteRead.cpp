// libFuzzer target: whatever the reader made of the input, written and read
// back keeps its text, and a second write is the same as the first.

#include "FuzzSetup.h"
#include "Rtf.h"

#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextDocument source;
    if (!rtf::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &source))
        return 0;
    const QByteArray first = rtf::write(&source);
    QTextDocument once;
    rtf::read(first, &once);
    const QByteArray second = rtf::write(&once);
    if (rtf::plainText(&once) != rtf::plainText(&source) || second != first) {
        std::fprintf(stderr, "a save changed the text, or a second save differs:\n[%s]\n[%s]\n%s\n----\n%s\n",
                     qPrintable(rtf::plainText(&source)), qPrintable(rtf::plainText(&once)), first.constData(), second.constData());
        std::abort();
    }
    return 0;
}

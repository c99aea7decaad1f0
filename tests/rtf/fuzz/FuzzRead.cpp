// libFuzzer target: the reader takes any bytes, and what it read can be
// written and laid out.

#include "FuzzSetup.h"
#include "Rtf.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextDocument doc;
    rtf::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &doc);
    rtf::plainText(&doc);
    rtf::write(&doc);
    doc.pageCount();
    return 0;
}

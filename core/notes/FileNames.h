#pragma once
// The file name a topic's title gives, the same for the editor's export and
// for quorvel-cli export, so one topic is never named two ways.

#include <QString>

namespace notes {

// The title's letters A to Z in either case, digits, blanks, the accented
// lower-case letters òèéìùàç and _^$~!#%&+,;=[]-{}()@\'`. ; everything else
// (separators, colons, question marks, quotes, upper-case accented letters)
// is dropped. Empty when nothing is left: the editor proposes no name then.
QString titleToFileName(const QString &title);

// The name of a file or folder the tool makes for a title or a category:
// the same rule, and then never empty ("_"), never a name a file system
// takes for a device, never ending in a dot or a blank, and short enough to
// take a number and an extension.
QString fileNameFor(const QString &title);

} // namespace notes

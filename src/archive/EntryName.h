#pragma once
#include <QString>

// The file name an archive entry unpacks to: its stored name with the folder
// part (everything up to the last '/') dropped. Returns an empty string and
// sets *problem when the name must not be written at all: empty, ".", "..",
// absolute, climbing out with "..", holding a backslash or a control
// character. The problem reads as the end of "the entry X ...".
QString bareEntryName(const QString &stored, QString *problem);

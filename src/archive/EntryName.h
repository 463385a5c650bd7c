#pragma once
#include <QString>

// The file name an archive entry unpacks to: its stored name with the folder
// part (everything up to the last '/' or '\') dropped. Zip tools on Windows
// write "folder\file", so both count as folder separators. Returns an empty
// string and sets *problem when the name must not be written at all: empty,
// ".", "..", absolute, climbing out with "..", or holding a control
// character. The problem reads as the end of "the entry X ...".
QString bareEntryName(const QString &stored, QString *problem);

// Whether a stored name is that of a folder entry ("art/", "art\"): folders
// are never made.
bool isFolderEntryName(const QString &stored);

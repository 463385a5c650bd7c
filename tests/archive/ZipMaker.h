#pragma once
#include <QString>

// Builds a test package with Python's zipfile: body is Python run with
//   out             the archive's path
//   zf(method)      a ZipFile open for writing with that default method
//   STORED, DEFLATED, BZIP2, LZMA
//   entry(z, name, data, system=None, mode=None)
//                   adds an entry; system 3 and mode give Unix attributes
//   set_size(name, n)   declares n unpacked bytes in both headers
//   flip(name)          changes one byte in the middle of an entry's data
//   cut(fraction)       keeps only that part of the file
// Returns an empty string on success, else what went wrong.
QString makeZip(const QString &zip, const QString &body);

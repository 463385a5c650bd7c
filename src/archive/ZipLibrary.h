#pragma once
#include <QString>

#include <zip.h>

// libzip, opened with the first package rather than linked: the clock runs
// all day and installs skins seldom, and libzip brings libcrypto and libbz2
// with it. Every function the reader calls is taken from the library here;
// the header gives the functions' types.
#define ZC_ZIP_FUNCTIONS(X)                                                                                 \
    X(zip_open) X(zip_discard) X(zip_error_init_with_code) X(zip_error_fini) X(zip_error_strerror)         \
    X(zip_get_num_entries) X(zip_get_name) X(zip_stat_init) X(zip_stat_index) X(zip_get_error)             \
    X(zip_file_get_external_attributes) X(zip_fopen_index) X(zip_fclose) X(zip_fread) X(zip_file_get_error)

struct ZipLibrary
{
#define ZC_POINTER(f) decltype(&::f) f = nullptr;
    ZC_ZIP_FUNCTIONS(ZC_POINTER)
#undef ZC_POINTER
    QString missing; // what could not be loaded; empty when all is there

    // Opens the library by its QLibrary name and major version ("zip", 4 is
    // libzip.so.4) and takes every function from it; the library, or the
    // first function, that is not there is told in missing. Never unloaded.
    static ZipLibrary load(const QString &name, int version);
    // libzip.so.4, loaded by the first call.
    static const ZipLibrary &installed();
};

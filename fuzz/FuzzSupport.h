#pragma once
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// A private folder for the whole run (in /dev/shm when there is one, so
// that writing a file per input costs no disk), removed at exit. Ends with '/'.
const QString &fuzzFolder();

// Writes the bytes to fuzzFolder() + name and returns the full path.
QString writeInput(const QString &name, const uint8_t *data, size_t size);

QByteArray bytesOf(const uint8_t *data, size_t size);

#pragma once
#include <QTemporaryDir>

// Whether Qt looks for image plugins (reads the metadata of every plugin in
// the imageformats folders, as the first QImageReader or QImageWriter of a
// process has it do) while this lives: an empty imageformats folder of its
// own is put first among the library paths, and the kernel tells when it
// is opened.
class ImagePluginLookout
{
public:
    ImagePluginLookout();
    ~ImagePluginLookout();
    ImagePluginLookout(const ImagePluginLookout &) = delete;
    ImagePluginLookout &operator=(const ImagePluginLookout &) = delete;

    // Whether the folder was opened since the last call (or since made).
    bool looked();

private:
    QTemporaryDir m_dir;
    int m_fd = -1;
};

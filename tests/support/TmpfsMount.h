#pragma once
#include <QString>

// A small file system of the test's own, mounted over a folder for as long
// as the object lives: refusals (read-only, full) are real even for root,
// which ignores file permissions. Mounting needs root; mounted() says
// whether it worked, so that a test can skip.
class TmpfsMount
{
public:
    // size as mount(8) takes it: "8m", "4m".
    explicit TmpfsMount(const QString &path, const QString &size = "8m");
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool mounted() const { return m_mounted; }
    // Fails while a file on it is open for writing.
    bool makeReadOnly();
    // Takes every free byte with one file; true when nothing is left.
    bool fill();
    void unfill();

private:
    QString m_path;
    bool m_mounted = false;
};

#pragma once
#include <QFileInfoList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// Rules of the skin dialogs that need no window.
namespace SkinRules {

// The picker's preview area is a square of this side.
constexpr int kPreviewSide = 257;

// Where the main preview of a tab is drawn inside the preview area (may
// reach past its edges; the area cuts it). An empty size gives an empty rect.
enum class PreviewFit { FitHeight, Stretch, OwnSizeCentred };
QRect previewRect(PreviewFit fit, const QSize &picture);

// The two hand strips of the "Hands" tab: where the picture goes and the
// strip that shows it.
struct HandStrip
{
    QPoint topLeft;
    QRect visible;
};
HandStrip minuteStrip();
HandStrip secondStrip();

// The packages of a listing of the skins folder: "*.zip" files only, no
// hidden entries, no folders, sorted by name without regard to case.
QFileInfoList packageFiles(const QFileInfoList &entries);
QFileInfoList listPackages(const QString &skinsFolder);
// The packages of several skins folders (the user's own first, then the
// shipped one), sorted together; a file name found in an earlier folder
// hides the same name in a later one. Only when none of the folders exists
// is that an error.
QFileInfoList listPackages(const QStringList &skinsFolders);
// A package as the list shows it: the file name without ".zip".
QString packageName(const QFileInfo &file);

// The skin table an item of a package's catalogue goes to ("Clock", "Dial",
// "Hand", "Head", "Body"), from its category compared without regard to
// case; empty for any other category.
QString targetTable(const QString &category);

// A package must never replace the program's own files: the executable,
// the tables other than Skins (and their journals and backups), the
// settings, the mask, the geometry file, the help page and the desktop
// entry (which names the command to run) with its icon, and the install
// marker (which would move the user's files elsewhere). Compared without
// regard to case so that no spelling slips through.
bool isProtectedFile(const QString &bareName);
// The same as a list of exact names, for readers that take one: the files
// and the journals and backups the table engine makes (isProtectedFile also
// catches any other name that begins like a table file).
QStringList protectedFileNames();

} // namespace SkinRules

#pragma once
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVector>

// The clock's icon, for its window, its dialogs and the tray: pictures made
// at build time, one file a size, in the program folder. Pictures, not the
// drawing: an SVG icon loads Qt's SVG engine and is drawn again at every size
// the window manager asks for, which a start cannot afford.
namespace ProgramIcon {

// The sizes shipped, all decoded at start: the tray's (16 to 24, and 48 at
// twice the pixels), the window manager's and the dialogs' (16 to 64). The
// larger ones a desktop shows come from its icon theme.
const QVector<int> &sizes();
// "zindleclock-16.png" and so on.
QString fileName(int size);
QStringList fileNames();
// The icon from the pictures in programFolder (ending with "/"). Pictures
// that are missing or unreadable are left out; with none the icon is empty.
QIcon load(const QString &programFolder);

} // namespace ProgramIcon

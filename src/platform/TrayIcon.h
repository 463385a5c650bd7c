#pragma once
#include <QObject>

#include <functional>

class QIcon;
class QMenu;

// The clock's icon in the desktop's notification area. A seam because no
// test can run a tray host: the clock reaches the tray only through this.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // What the user did to the icon, as the clock tells it apart.
    enum class Activation { Click, DoubleClick, Other };

    using QObject::QObject;

    virtual void setIcon(const QIcon &icon) = 0;
    virtual QString toolTip() const = 0;
    virtual void setToolTip(const QString &text) = 0;
    // Not owned: the menu's owner keeps it.
    virtual void setContextMenu(QMenu *menu) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    // Whether the desktop has a notification area to show the icon in.
    virtual bool hostAvailable() const = 0;

    using Factory = std::function<TrayIcon *(QObject *parent)>;
    // The desktop's tray icon (QSystemTrayIcon), or the test's stand-in.
    static TrayIcon *create(QObject *parent);
    // An empty factory brings back the desktop's.
    static void setFactory(Factory factory);

signals:
    void activated(TrayIcon::Activation how);
};

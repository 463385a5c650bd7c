#pragma once
#include "TrayIcon.h"

#include <QIcon>
#include <QPointer>

// The tray for tests, where no tray host runs: it says whether a host exists
// as the test chose, keeps what the clock gave it, and lets the test click.
class FakeTrayIcon : public TrayIcon
{
public:
    FakeTrayIcon(QObject *parent, bool host)
        : TrayIcon(parent), host(host)
    {
    }

    void setIcon(const QIcon &i) override { icon = i; }
    QString toolTip() const override { return tip; }
    void setToolTip(const QString &text) override { tip = text; }
    void setContextMenu(QMenu *m) override { menu = m; }
    void show() override { visible = true; }
    void hide() override { visible = false; }
    bool isVisible() const override { return visible; }
    bool hostAvailable() const override { return host; }

    void click(Activation how) { emit activated(how); }

    bool host;
    bool visible = false;
    QIcon icon;
    QString tip;
    QMenu *menu = nullptr;
};

// While it lives, every tray icon made is a FakeTrayIcon; `icon` is the last.
class FakeTray
{
public:
    explicit FakeTray(bool host)
    {
        TrayIcon::setFactory([this, host](QObject *parent) {
            icon = new FakeTrayIcon(parent, host);
            return icon.data();
        });
    }
    ~FakeTray() { TrayIcon::setFactory(nullptr); }
    FakeTray(const FakeTray &) = delete;
    FakeTray &operator=(const FakeTray &) = delete;

    QPointer<FakeTrayIcon> icon;
};

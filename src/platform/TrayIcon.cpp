#include "TrayIcon.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace {

class SystemTrayIcon : public TrayIcon
{
public:
    explicit SystemTrayIcon(QObject *parent)
        : TrayIcon(parent), m_icon(this)
    {
        connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
            emit activated(r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::MiddleClick ? Activation::Click
                           : r == QSystemTrayIcon::DoubleClick                                ? Activation::DoubleClick
                                                                                              : Activation::Other);
        });
    }
    void setIcon(const QIcon &icon) override { m_icon.setIcon(icon); }
    QString toolTip() const override { return m_icon.toolTip(); }
    void setToolTip(const QString &text) override { m_icon.setToolTip(text); }
    void setContextMenu(QMenu *menu) override { m_icon.setContextMenu(menu); }
    void show() override { m_icon.show(); }
    void hide() override { m_icon.hide(); }
    bool isVisible() const override { return m_icon.isVisible(); }
    bool hostAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

private:
    QSystemTrayIcon m_icon;
};

TrayIcon::Factory &factory()
{
    static TrayIcon::Factory f;
    return f;
}

} // namespace

TrayIcon *TrayIcon::create(QObject *parent)
{
    if (factory())
        return factory()(parent);
    return new SystemTrayIcon(parent);
}

void TrayIcon::setFactory(Factory f) { factory() = std::move(f); }

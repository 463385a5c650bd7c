#pragma once

class QWidget;

// What a dialog sees of the clock's window: where it stands, and its fade.
// Dialogs open beside it and keep it opaque while they are open.
class ClockWindow
{
public:
    virtual ~ClockWindow() = default;
    virtual QWidget *clockWidget() = 0;
    virtual bool fadeEnabled() const = 0;
    virtual void setFadeEnabled(bool on) = 0;
    // The clock fully opaque at once, whatever the fade was doing.
    virtual void showOpaque() = 0;
};

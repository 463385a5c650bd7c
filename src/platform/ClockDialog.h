#pragma once
#include "DialogPlacement.h"

#include <QDialog>

#include <optional>

class ClockWindow;

// The lifecycle every dialog of the clock shares. On its first show it
// stands beside the clock, keeps the clock opaque while it is open (when it
// asks to), then runs FormActivate once. FormClose runs once when it closes,
// also when it is freed without having been closed (after an error). An
// error in either is reported, not thrown into Qt.
class ClockDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Fade { Keep, Pause };
    // clock may be null: the dialog then opens where Qt puts it.
    explicit ClockDialog(ClockWindow *clock, Fade fade = Fade::Keep, QWidget *parent = nullptr);

    void done(int result) override;

protected:
    virtual void FormActivate() {}
    virtual void FormClose() {}
    // Derived destructors call this: by the time the base's own destructor
    // runs, their FormClose can no longer be reached.
    void closeIfOpen();

    void showEvent(QShowEvent *e) override;

    ClockWindow *clockWindow() const { return m_clock; }
    bool opened() const { return m_opened; }
    bool closed() const { return m_closed; }
    // The fade setting the clock had before the dialog paused it.
    bool savedFadeEnabled() const;
    // The pause while the dialog is open (Fade::Pause only), or null.
    FadePause *fadePause() { return m_fade ? &*m_fade : nullptr; }

private:
    ClockWindow *m_clock;
    Fade m_fadeMode;
    std::optional<FadePause> m_fade;
    bool m_opened = false;
    bool m_closed = false;
};

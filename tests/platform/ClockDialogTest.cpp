#include "ClockDialog.h"
#include "ClockWindow.h"
#include "ErrorReport.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The clock as a dialog sees it: a widget to stand beside and a fade.
class Window : public ClockWindow
{
public:
    QWidget widget;
    bool fade = true;
    int opaqueCalls = 0;
    QWidget *clockWidget() override { return &widget; }
    bool fadeEnabled() const override { return fade; }
    void setFadeEnabled(bool on) override { fade = on; }
    void showOpaque() override { ++opaqueCalls; }
};

// Counts into the test's own counters, which outlive a freed dialog.
struct Counts
{
    int activations = 0, closes = 0;
};

class Dialog : public ClockDialog
{
public:
    Dialog(Counts &counts, ClockWindow *clock, Fade fade = Fade::Keep) : ClockDialog(clock, fade), m_counts(counts) {}
    ~Dialog() override { closeIfOpen(); }
    bool failOnActivate = false;
    using ClockDialog::savedFadeEnabled;

protected:
    void FormActivate() override
    {
        ++m_counts.activations;
        if (failOnActivate)
            throw std::runtime_error("activation failed");
    }
    void FormClose() override { ++m_counts.closes; }

private:
    Counts &m_counts;
};

class ClockDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) { reports << t; });
        window.widget.setGeometry(100, 100, 200, 200);
    }
    void TearDown() override { ErrorReport::setSink(nullptr); }
    Window window;
    QStringList reports;
};

TEST_F(ClockDialogTest, ActivatesOnceAndClosesOnceWhateverTheRoute)
{
    const struct
    {
        const char *route;
        void (*close)(std::unique_ptr<Dialog> &);
    } routes[] = {
        {"accept", [](std::unique_ptr<Dialog> &d) { d->accept(); }},
        {"reject", [](std::unique_ptr<Dialog> &d) { d->reject(); }},
        {"close box", [](std::unique_ptr<Dialog> &d) { d->close(); }},
        {"freed while open", [](std::unique_ptr<Dialog> &d) { d.reset(); }},
    };
    for (const auto &r : routes) {
        Counts counts;
        auto d = std::make_unique<Dialog>(counts, &window, ClockDialog::Fade::Pause);
        d->show();
        d->hide();
        d->show(); // shown again: no second activation
        EXPECT_EQ(counts.activations, 1) << r.route;
        r.close(d);
        EXPECT_EQ(counts.closes, 1) << r.route;
        d.reset(); // the destructor does not close a second time
        EXPECT_EQ(counts.closes, 1) << r.route;
        EXPECT_TRUE(window.fade) << r.route << ": the fade setting comes back";
    }
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(ClockDialogTest, PauseKeepsTheClockOpaqueWhileOpenAndKeepLeavesItAlone)
{
    {
        Counts counts;
        Dialog paused(counts, &window, ClockDialog::Fade::Pause);
        paused.show();
        EXPECT_FALSE(window.fade);
        EXPECT_EQ(window.opaqueCalls, 1);
        EXPECT_TRUE(paused.savedFadeEnabled());
        paused.reject();
        EXPECT_TRUE(window.fade);
    }
    Counts counts;
    Dialog kept(counts, &window, ClockDialog::Fade::Keep);
    kept.show();
    EXPECT_TRUE(window.fade);
    EXPECT_EQ(window.opaqueCalls, 1);
}

TEST_F(ClockDialogTest, AFailedActivationIsReportedAndTheDialogStillClosesOnce)
{
    Counts counts;
    Dialog d(counts, &window, ClockDialog::Fade::Pause);
    d.failOnActivate = true;
    d.show();
    EXPECT_EQ(reports, QStringList({"activation failed"}));
    d.reject();
    EXPECT_EQ(counts.closes, 1);
    EXPECT_TRUE(window.fade);
}

TEST_F(ClockDialogTest, WithoutAClockItOpensWhereQtPutsIt)
{
    Counts counts;
    Dialog d(counts, nullptr);
    d.show();
    EXPECT_EQ(counts.activations, 1);
    EXPECT_FALSE(d.savedFadeEnabled());
    d.accept();
    EXPECT_EQ(counts.closes, 1);
}

} // namespace

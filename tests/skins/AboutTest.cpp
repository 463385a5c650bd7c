#include "DialogPlacement.h"
#include "SkinFolder.h"
#include "WebOpener.h"
#include "SkinDialogsFor.h"

#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class About : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *t : {"Clock", "Dial", "Hand", "Head", "Body"})
            folder.addItem(t, "only");
        WebOpener::setOpener([this](const QUrl &url) {
            opened << url.toString();
            return browserWorks;
        });
    }
    void TearDown() override
    {
        WebOpener::setOpener({});
        EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("\n").toStdString();
    }
    // The box needs no clock: the Product table is all it reads.
    std::unique_ptr<TfAbout> openBox(const QStringList &fields)
    {
        folder.addProduct(fields);
        product.OpenTable(folder.path(), "Product");
        auto box = std::make_unique<TfAbout>(nullptr, product);
        box->show();
        return box;
    }

    CollectedErrors errors;
    ScriptedAnswers answers;
    SkinFolder folder;
    std::unique_ptr<TfClock> clock;
    TTable product;
    QStringList opened;
    bool browserWorks = true;
};

} // namespace

TEST_F(About, OptionalLinesShowByTheirOwnFields)
{
    struct Case
    {
        QString copyright2, url2;
    } cases[] = {{"", ""}, {"", "https://partner.example"}, {"(c) Partner", ""}, {"(c) Partner", "https://p.example"}};
    for (const Case &c : cases) {
        SkinFolder f;
        f.addProduct({"Zindle", "(c) Us", c.copyright2, "https://zindle.example", c.url2});
        TTable t;
        t.OpenTable(f.path(), "Product");
        // Twice: a reopened box starts hidden again and follows the same rule.
        for (int round = 0; round < 2; ++round) {
            TfAbout box(nullptr, t);
            EXPECT_FALSE(box.lblCopyright2->isVisibleTo(&box));
            box.show();
            EXPECT_EQ(box.lblCopyright2->isVisible(), !c.copyright2.isEmpty());
            EXPECT_EQ(box.lblWebSite2->isVisible(), !c.url2.isEmpty());
            EXPECT_EQ(box.lblTitle->text(), "Zindle");
            EXPECT_EQ(box.lblCopyright->text(), "(c) Us");
            EXPECT_EQ(box.lblWebSite->text(), "https://zindle.example");
            EXPECT_FALSE(box.imgProduct->pixmap().isNull());
        }
    }
}

TEST_F(About, LinksOpenTheirAddresses)
{
    auto box = openBox({"Zindle", "(c) Us", "", "https://zindle.example/", "https://partner.example/x"});
    QTest::mouseClick(box->lblWebSite, Qt::LeftButton);
    QTest::mouseClick(box->lblWebSite2, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"https://zindle.example/", "https://partner.example/x"}));
    EXPECT_TRUE(answers.asked.isEmpty());
}

TEST_F(About, ABrowserThatFailsGivesTheMessage)
{
    browserWorks = false;
    auto box = openBox({"Zindle", "(c) Us", "", "", ""});
    QTest::mouseClick(box->lblWebSite, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1) << "an empty address is still handed on";
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_EQ(answers.asked[0].text,
              "Unable to start web browser. Make sure you have it properly set-up on your system.");
}

TEST_F(About, OpensBesideTheClockLikeTheOtherDialogs)
{
    // Centred on the screen, a clock that stays on top covered it.
    folder.addProduct({"Zindle", "(c) Us", "", "https://zindle.example", ""});
    clock = folder.startClock();
    clock->show();
    const QSize screen = clock->screen()->size();
    for (const QPoint &at : {QPoint(100, 60), QPoint(screen.width() - 150, 60)}) {
        clock->move(at);
        auto about = aboutFor(*clock);
        TfAbout &box = *about;
        box.show();
        EXPECT_EQ(box.pos(), besideClock(clock->frameGeometry(), box.frameGeometry().size(), screen));
        EXPECT_FALSE(box.frameGeometry().intersects(clock->frameGeometry()));
        // Where the window manager pushes it back over the clock, it stays above.
        ASSERT_TRUE(box.windowHandle());
        EXPECT_EQ(box.windowHandle()->transientParent(), clock->windowHandle());
    }
}

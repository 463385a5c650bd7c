// Texts from tables, packages and the system are shown exactly as they stand:
// never read as markup, never losing an "&".
#include "ClockAlarms.h"
#include "DialogFixture.h"
#include "ClockMenu.h"
#include "ErrorReport.h"
#include "MessageBoxes.h"
#include "SkinDialogsFor.h"
#include "uAbout.h"
#include "uAlarmMessage.h"
#include "uClock.h"
#include "uPickSkins.h"
#include "uSystemTime.h"
#include "uTimeServer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QStringList kHostile = {
    "Call <Mum>",
    "Tst <b>&amp;",
    "<b>bold</b> & <i>slanted</i>",
    "<!DOCTYPE html><p>a page",
    "a &lt; b &gt; c",
    "Tom & Jerry",
};

// What a person reads: the text itself, or what is left of it as markup.
QString shown(const QString &text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument doc;
    doc.setHtml(text);
    return doc.toPlainText();
}

QString shown(const QLabel *l) { return shown(l->text(), l->textFormat()); }

// A menu item's text as the menu draws it: "&&" is one "&", a lone "&" marks
// the access key and is not drawn.
QString shownMenuText(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

// Runs show, which opens a modal message box, and reads the box's text as it
// is shown, then closes it.
QString boxShownBy(const std::function<void()> &show)
{
    QString seen = "(no message box)";
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = shown(box->text(), box->textFormat());
            box->close();
        }
    });
    show();
    return seen;
}

class HostileText : public ::testing::Test
{
protected:
    DialogFixture f;
};

} // namespace

TEST_F(HostileText, AlarmTitleAndTime)
{
    for (const QString &h : kHostile) {
        AlarmStore &store = ClockAlarms::of(*f.clock).store();
        AlarmRecord r = store.current();
        r.title = h;
        store.save(1, r);
        f.clock->tblAlarm.setRecNo(1);
        TfAlarmMessage window(ClockAlarms::of(*f.clock).context());
        window.show();
        EXPECT_EQ(shown(window.DBText1), h);
        EXPECT_EQ(shown(window.lblAlarmTime), window.lblAlarmTime->text());
    }
}

TEST_F(HostileText, ProductFieldsInTheAboutBoxAndTheMenu)
{
    auto about = aboutFor(*f.clock);
    TfAbout &box = *about;
    box.show();
    for (const QString &h : kHostile) {
        TTable &t = f.clock->tblProduct;
        t.Edit();
        for (const char *field : {"Title", "Copyright", "Copyright2", "Website", "WebURL2", "WebName2"})
            t.FieldByName(field).setAsString(h);
        t.Post();
        for (QLabel *l : {box.lblTitle, box.lblCopyright, box.lblWebSite, box.lblCopyright2, box.lblWebSite2})
            EXPECT_EQ(shown(l), h);
        auto *menu = new ClockMenu(*f.clock);
        EXPECT_EQ(shownMenuText(menu->mnuPartner->text()), "Visit " + h);
    }
}

TEST_F(HostileText, SkinNamesAndNotesInThePicker)
{
    for (const QString &h : kHostile)
        f.folder.addItem("Clock", h, solid(8, 8, Qt::red), h);
    f.clock->tblClock.CloseTable();
    f.clock->tblClock.OpenTable();
    auto pickerBox = pickSkinsFor(*f.clock);
    TfPickSkins &picker = *pickerBox;
    picker.show();
    for (const QString &h : kHostile) {
        ASSERT_TRUE(f.clock->tblClock.FindKey(h));
        EXPECT_EQ(shown(picker.lblName), h);
        EXPECT_EQ(shown(picker.lblNotes), h);
    }
}

TEST_F(HostileText, MessageBoxesAndErrorReports)
{
    MessageBoxes::setHandler({});
    ErrorReport::setSink({});
    for (const QString &h : kHostile) {
        const QString notice = "Skin package " + h + " is refused.";
        EXPECT_EQ(boxShownBy([&] { MessageBoxes::inform(nullptr, "Install Skins", notice); }), notice);
        ErrorReport::forgetShown();
        const QString error = "Cannot read the picture " + h + ".bmp.";
        EXPECT_EQ(boxShownBy([&] { ErrorReport::show(error); }), error);
    }
}

TEST_F(HostileText, TheSystemsReasonsInTheTimeDialogs)
{
    MessageBoxes::setHandler({}); // the real boxes, as the user sees them
    for (const QString &h : kHostile) {
        TfTimeServer server(f.clock->tblTime, f.systemClock, nullptr, nullptr, [] { return true; });
        server.show();
        emit server.client().OnFailure(&server.client(), TIpSNTPClient::sfClockRefused, h);
        auto *result = server.findChild<QLabel *>("lblResult");
        ASSERT_TRUE(result);
        EXPECT_EQ(shown(result), result->text());
        EXPECT_TRUE(result->text().contains(h.mid(1))) << result->text().toStdString();

        f.systemClock.refuse = true;
        f.systemClock.refuseReason = h;
        TfSystemTime setTime(f.systemClock);
        setTime.show();
        setTime.btnOKClick();
        QMessageBox *box = nullptr;
        for (int i = 0; i < 100 && !box; ++i) {
            QTest::qWait(10);
            box = setTime.findChild<QMessageBox *>();
        }
        ASSERT_TRUE(box);
        EXPECT_EQ(shown(box->text(), box->textFormat()), "The date and time could not be set.\n" + h);
    }
}

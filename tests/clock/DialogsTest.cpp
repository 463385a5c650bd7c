#include "DialogFixture.h"
#include "uClock.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTableView>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString describe(const QWidget *w, const QSize &need)
{
    QString text;
    if (auto *l = qobject_cast<const QLabel *>(w))
        text = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(w))
        text = b->text();
    else if (auto *g = qobject_cast<const QGroupBox *>(w))
        text = g->title();
    return QString("%1 %2 \"%3\": needs %4x%5, has %6x%7")
        .arg(w->metaObject()->className(), w->objectName(), text)
        .arg(need.width())
        .arg(need.height())
        .arg(w->width())
        .arg(w->height());
}

// The size a control needs to show all of itself: a wrapped label its height
// at the width it has, a spin box or field its text and buttons.
QSize needed(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w)) {
        if (l->text().isEmpty())
            return {}; // a picture: cut to its frame on purpose
        if (l->wordWrap())
            return {l->minimumSizeHint().width(), l->heightForWidth(l->width())};
        return l->sizeHint();
    }
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
        || qobject_cast<const QComboBox *>(w) || qobject_cast<const QGroupBox *>(w)
        || qobject_cast<const QSlider *>(w))
        return w->minimumSizeHint();
    if (qobject_cast<const QLineEdit *>(w) && !qobject_cast<const QAbstractSpinBox *>(w->parentWidget())
        && !qobject_cast<const QComboBox *>(w->parentWidget()))
        return w->minimumSizeHint();
    return {};
}

// Every visible control that is cut, and every grid column too narrow for
// its header or its cells.
QStringList clipped(const QWidget *dialog)
{
    QStringList out;
    for (const QWidget *w : dialog->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        const QSize need = needed(w);
        if (need.width() > w->width() || need.height() > w->height())
            out << describe(w, need);
        if (auto *grid = qobject_cast<const QTableView *>(w)) {
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                const int need = std::max(grid->horizontalHeader()->sectionSizeHint(c),
                                          static_cast<const QAbstractItemView *>(grid)->sizeHintForColumn(c));
                if (need > grid->columnWidth(c))
                    out << QString("column %1 of %2: needs %3, has %4")
                               .arg(grid->model()->headerData(c, Qt::Horizontal).toString(), grid->objectName())
                               .arg(need)
                               .arg(grid->columnWidth(c));
            }
        }
    }
    return out;
}

} // namespace

TEST(Dialogs, EveryControlShowsWholeAtTheDefaultAndALargerFont)
{
    for (double scale : {1.0, 1.5}) {
        const AppFont font(scale);
        DialogFixture f;
        for (const DialogFixture::Dialog &d : DialogFixture::dialogs()) {
            std::unique_ptr<QDialog> dialog = f.open(d);
            for (int page = 0; page < d.pages; ++page) {
                if (page > 0) {
                    d.nextPage(*dialog);
                    settle();
                }
                const QStringList cut = clipped(dialog.get());
                EXPECT_TRUE(cut.isEmpty()) << d.name << ", page " << page << ", font x" << scale << ":\n"
                                           << cut.join("\n").toStdString();
            }
        }
        EXPECT_TRUE(f.errors.texts.isEmpty()) << f.errors.texts.join("\n").toStdString();
    }
}

TEST(Dialogs, FixedSizeWithOnlyACloseBoxAndTheClockIcon)
{
    DialogFixture f;
    const QImage clockIcon = f.clock->windowIcon().pixmap(32).toImage();
    ASSERT_FALSE(clockIcon.isNull());
    for (const DialogFixture::Dialog &d : DialogFixture::dialogs()) {
        std::unique_ptr<QDialog> dialog = f.open(d);
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << d.name;
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) << d.name;
        // A window manager offers to maximise whatever can be resized.
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << d.name << " can be resized";
        EXPECT_EQ(dialog->windowIcon().pixmap(32).toImage(), clockIcon) << d.name;
    }
}

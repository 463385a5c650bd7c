#include "uPickSkins.h"
#include "ErrorReport.h"
#include "MessageBoxes.h"
#include "SkinPreview.h"
#include "uClock.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using SkinRules::PreviewFit;

namespace {

struct TabInfo
{
    const char *caption;
    const char *picture;
    PreviewFit fit;
};

const TabInfo kTabs[] = {
    {"Clock", "Image", PreviewFit::FitHeight},      {"Dial", "Image", PreviewFit::Stretch},
    {"Hands", "imgHour", PreviewFit::OwnSizeCentred}, {"Head", "image", PreviewFit::OwnSizeCentred},
    {"Body", "image", PreviewFit::OwnSizeCentred},
};

// Small drawn tab icons: an outline, a dial, two hands, a head, a body.
QIcon tabIcon(int tab)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 90), 1.5));
    switch (tab) {
    case 0: p.drawRoundedRect(QRectF(3, 1.5, 10, 13), 4, 4); break;
    case 1:
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawPoint(8, 8);
        break;
    case 2:
        p.drawLine(QPointF(8, 8), QPointF(8, 2));
        p.drawLine(QPointF(8, 8), QPointF(13, 11));
        break;
    case 3:
        p.drawEllipse(QRectF(3.5, 2, 9, 10));
        p.drawLine(QPointF(6, 14.5), QPointF(10, 14.5));
        break;
    default:
        p.drawEllipse(QRectF(6, 1, 4, 4));
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
        p.drawLine(QPointF(4, 8), QPointF(12, 8));
        p.drawLine(QPointF(8, 11), QPointF(5, 15));
        p.drawLine(QPointF(8, 11), QPointF(11, 15));
    }
    return QIcon(pm);
}

QToolButton *navButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
}

} // namespace

TfPickSkins::TfPickSkins(TfClock *clock, QWidget *parent) : QDialog(parent), m_clock(clock)
{
    setObjectName("fPickSkins");
    setWindowTitle(tr("Select Skin"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont f("Arial");
    f.setPointSize(8);
    setFont(f);

    PageControl1 = new QTabBar(this);
    PageControl1->setShape(QTabBar::RoundedWest);
    PageControl1->setExpanding(false);
    for (int i = 0; i < 5; ++i)
        PageControl1->addTab(tabIcon(i), tr(kTabs[i].caption));

    auto *page = new QWidget(this);
    // Names and notes are the skins' own texts: shown as they stand.
    lblName = new QLabel(page);
    lblName->setTextFormat(Qt::PlainText);
    lblName->setMinimumSize(296, 17);
    lblName->setAlignment(Qt::AlignCenter);
    imgPreview = new SkinPreview(page);
    lblNotes = new QLabel(page);
    lblNotes->setTextFormat(Qt::PlainText);
    // Room for three lines at any font; longer notes make the window taller.
    lblNotes->setMinimumSize(260, std::max(41, 3 * lblNotes->fontMetrics().lineSpacing() + 2));
    lblNotes->setWordWrap(true);
    lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblNotes->setAutoFillBackground(true);
    lblNotes->setStyleSheet("background-color: #ffffe1; color: navy;");

    auto *nav = new QWidget(page);
    nav->setMinimumSize(256, 25);
    auto *navLayout = new QHBoxLayout(nav);
    navLayout->setContentsMargins(0, 0, 0, 0);
    navLayout->setSpacing(0);
    navFirst = navButton(this, QStyle::SP_MediaSkipBackward, tr("First"));
    navPrior = navButton(this, QStyle::SP_MediaSeekBackward, tr("Prior"));
    navNext = navButton(this, QStyle::SP_MediaSeekForward, tr("Next"));
    navLast = navButton(this, QStyle::SP_MediaSkipForward, tr("Last"));
    for (QToolButton *b : {navFirst, navPrior, navNext, navLast}) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        navLayout->addWidget(b);
    }

    btnApply = new QPushButton(tr("Apply"), page);
    btnApply->setMinimumSize(260, 25);
    btnApply->setDefault(true);
    btnRemove = new QPushButton(tr("Remove"), page);
    btnRemove->setMinimumSize(121, 25);
    btnClose = new QPushButton(tr("Close"), page);
    btnClose->setMinimumSize(122, 25);

    // The page in the classic arrangement: the name across the top, the
    // rest in a column 32 pixels in.
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(15);
    bottom->addWidget(btnRemove);
    bottom->addWidget(btnClose);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(32, 0, 4, 6);
    column->setSpacing(7);
    column->addWidget(imgPreview, 0, Qt::AlignLeft);
    column->addWidget(lblNotes);
    column->addSpacing(2);
    column->addWidget(nav, 0, Qt::AlignLeft);
    column->addWidget(btnApply);
    column->addLayout(bottom);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(7);
    pageLayout->addWidget(lblName);
    pageLayout->addLayout(column);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 4, 2, 4);
    layout->setSpacing(2);
    layout->addWidget(PageControl1, 0, Qt::AlignTop);
    layout->addWidget(page);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(PageControl1, &QTabBar::currentChanged, this,
            [this] { ErrorReport::guard([this] { PageControl1Change(); }); });
    connect(navFirst, &QToolButton::clicked, this, [this] { navigate(&TTable::First); });
    connect(navPrior, &QToolButton::clicked, this, [this] { navigate(&TTable::Prior); });
    connect(navNext, &QToolButton::clicked, this, [this] { navigate(&TTable::Next); });
    connect(navLast, &QToolButton::clicked, this, [this] { navigate(&TTable::Last); });
    connect(btnApply, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnApplyClick(); }); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { ErrorReport::guard([this] { btnRemoveClick(); }); });
    connect(btnClose, &QPushButton::clicked, this, &TfPickSkins::reject);
}

TfPickSkins::~TfPickSkins()
{
    // Freed without being closed (an error while it was open): the clock's
    // tables still go back to the items in use.
    if (m_opened && !m_closed)
        ErrorReport::guard([this] { FormClose(); });
}

QString TfPickSkins::lastItemText()
{
    return tr("This is the last item of its kind. The clock needs one of each, so it cannot be removed.");
}

TfPickSkins::Slot TfPickSkins::slot(int tab) const
{
    TfClock &c = *m_clock;
    switch (tab) {
    case 0: return {&c.tblClock, &c.Settings.ClockName, &c.ClockRecNo};
    case 1: return {&c.tblDial, &c.Settings.DialName, &c.DialRecNo};
    case 2: return {&c.tblHand, &c.Settings.HandName, &c.HandRecNo};
    case 3: return {&c.tblHead, &c.Settings.HeadName, &c.HeadRecNo};
    default: return {&c.tblBody, &c.Settings.BodyName, &c.BodyRecNo};
    }
}

TTable *TfPickSkins::tabTable() const { return slot(PageControl1->currentIndex()).table; }

void TfPickSkins::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_opened) {
        m_opened = true;
        ErrorReport::guard([this] { FormActivate(); });
    }
}

void TfPickSkins::FormActivate()
{
    m_fade.emplace(m_clock);
    PlaceBesideClock(this, m_clock);
    bindLabels();
    UpdatePreviews();
    for (int i = 0; i < 5; ++i) {
        const Slot s = slot(i);
        if (s.table->Active() && s.table->RecordCount() > 0)
            *s.name = s.table->FieldByName("Name").asString();
    }
}

void TfPickSkins::bindLabels()
{
    disconnect(m_binding);
    TTable *t = tabTable();
    // The labels follow the table like bound controls: every move shows anew.
    auto show = [this, t] {
        const bool has = t->Active() && t->RecordCount() > 0 && t->state() != TTable::State::Insert;
        lblName->setText(has ? t->FieldByName("Name").asString() : QString());
        lblNotes->setText(has ? t->FieldByName("Notes").asString() : QString());
    };
    // Every move of the table repaints the labels, several in one command:
    // the same failure is told once.
    m_binding = connect(t, &TTable::changed, this, [show] { ErrorReport::guardTick(show); });
    show();
}

void TfPickSkins::PageControl1Change()
{
    for (int i = 0; i < 5; ++i)
        slot(i).table->CloseTable();
    bindLabels();
    if (PageControl1->currentIndex() == 2)
        imgPreview->setHands({}, {});
    else
        imgPreview->hideHands();
    for (int i = 0; i < 5; ++i)
        slot(i).table->OpenTable();
    // Every tab starts on its item in use; browsing positions are forgotten.
    for (int i = 0; i < 5; ++i)
        slot(i).table->setRecNo(*slot(i).recNo);
    UpdatePreviews();
}

void TfPickSkins::navigate(void (TTable::*move)())
{
    ErrorReport::guard([&] {
        (tabTable()->*move)();
        UpdatePreviews();
    });
}

void TfPickSkins::UpdatePreviews()
{
    const int tab = PageControl1->currentIndex();
    TTable *t = tabTable();
    if (!t->Active() || t->RecordCount() == 0) {
        imgPreview->clear();
        if (tab == 2)
            imgPreview->setHands({}, {});
        return;
    }
    imgPreview->setMain(t->FieldByName(kTabs[tab].picture).asPicture(), kTabs[tab].fit);
    if (tab == 2)
        imgPreview->setHands(t->FieldByName("imgMinute").asPicture(), t->FieldByName("imgSecond").asPicture());
    else
        imgPreview->hideHands();
}

void TfPickSkins::btnApplyClick()
{
    const Slot s = slot(PageControl1->currentIndex());
    if (s.table->RecordCount() > 0) {
        *s.name = s.table->FieldByName("Name").asString();
        *s.recNo = s.table->RecNo();
    }
    m_clock->BuildFace();
}

void TfPickSkins::btnRemoveClick()
{
    const Slot s = slot(PageControl1->currentIndex());
    // The face cannot be built without one item of each kind.
    if (s.table->RecordCount() == 1) {
        MessageBoxes::inform(this, windowTitle(), lastItemText());
        return;
    }
    if (MessageBoxes::ask(this, QMessageBox::Information, windowTitle(), tr("Remove this item\nAre you sure?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    m_clock->SkinRemoved = true;
    if (s.table->RecordCount() == 0)
        return;
    const QString removed = s.table->FieldByName("Name").asString();
    s.table->Delete();
    if (removed == *s.name)
        *s.name = s.table->FieldByName("Name").asString();
    s.table->FindKey(*s.name);
    *s.recNo = s.table->RecNo();
    m_clock->BuildFace();
    UpdatePreviews();
}

void TfPickSkins::done(int r)
{
    if (m_opened && !m_closed)
        ErrorReport::guard([this] { FormClose(); });
    QDialog::done(r);
}

void TfPickSkins::FormClose()
{
    m_closed = true;
    m_fade.reset();
    // Browsing without Apply leaves no trace.
    for (int i = 0; i < 5; ++i) {
        const Slot s = slot(i);
        if (s.table->Active())
            s.table->setRecNo(*s.recNo);
    }
}

#include "uAbout.h"
#include "ErrorReport.h"
#include "MessageBoxes.h"
#include "WebOpener.h"
#include "uClock.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {

QLabel *textLabel(QWidget *parent, const QRect &geometry)
{
    auto *l = new QLabel(parent);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QLabel *linkLabel(QWidget *parent, const QRect &geometry)
{
    QLabel *l = textLabel(parent, geometry);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet("color: green;");
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

TfAbout::TfAbout(TfClock *clock, QWidget *parent) : QDialog(parent), m_clock(clock)
{
    setObjectName("fAbout");
    setWindowTitle(tr("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setFixedSize(372, 241);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    imgProduct = new QLabel(this);
    imgProduct->setGeometry(8, 8, 97, 113);
    imgProduct->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle = textLabel(this, QRect(112, 8, 253, 105));
    lblTitle->setWordWrap(true);
    QFont title("Comic Sans MS");
    title.setBold(true);
    title.setPixelSize(27);
    lblTitle->setFont(title);
    lblTitle->setStyleSheet("color: navy;");
    lblCopyright = textLabel(this, QRect(8, 128, 357, 17));
    lblWebSite = linkLabel(this, QRect(8, 144, 357, 17));
    lblCopyright2 = textLabel(this, QRect(7, 168, 357, 17));
    lblCopyright2->hide();
    lblWebSite2 = linkLabel(this, QRect(8, 184, 357, 17));
    lblWebSite2->hide();
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setGeometry(152, 208, 75, 25);
    btnOK->setDefault(true);

    lblWebSite->installEventFilter(this);
    lblWebSite2->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this, &TfAbout::accept);
    // The texts follow the record, like bound labels.
    connect(&m_clock->tblProduct, &TTable::changed, this, [this] { ErrorReport::guardTick([this] { showRecord(); }); });
}

QString TfAbout::browserFailureText()
{
    return tr("Unable to start web browser. Make sure you have it properly set-up on your system.");
}

void TfAbout::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_opened) {
        m_opened = true;
        ErrorReport::guard([this] { FormActivate(); });
    }
}

void TfAbout::FormActivate()
{
    if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->geometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    showRecord();
    TTable &t = m_clock->tblProduct;
    if (!t.Active() || t.RecordCount() == 0)
        return;
    if (!t.FieldByName("Copyright2").asString().isEmpty())
        lblCopyright2->show();
    if (!t.FieldByName("WebURL2").asString().isEmpty())
        lblWebSite2->show();
}

void TfAbout::showRecord()
{
    TTable &t = m_clock->tblProduct;
    const bool has = t.Active() && t.RecordCount() > 0;
    auto text = [&](const char *field) { return has ? t.FieldByName(field).asString() : QString(); };
    lblTitle->setText(text("Title"));
    lblCopyright->setText(text("Copyright"));
    lblWebSite->setText(text("Website"));
    lblCopyright2->setText(text("Copyright2"));
    lblWebSite2->setText(text("WebURL2"));
    imgProduct->setPixmap(has ? QPixmap::fromImage(t.FieldByName("Image").asPicture()) : QPixmap());
}

bool TfAbout::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        if (watched == lblWebSite) {
            ErrorReport::guard([this] { lblWebSiteClick(); });
            return true;
        }
        if (watched == lblWebSite2) {
            ErrorReport::guard([this] { lblWebSite2Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TfAbout::lblWebSiteClick() { openAddress("Website"); }

void TfAbout::lblWebSite2Click() { openAddress("WebURL2"); }

void TfAbout::openAddress(const char *field)
{
    TTable &t = m_clock->tblProduct;
    // No record gives an empty address, which fails like any other.
    const QString address = t.Active() && t.RecordCount() > 0 ? t.FieldByName(field).asString() : QString();
    if (!WebOpener::open(address))
        MessageBoxes::inform(this, windowTitle(), browserFailureText());
}

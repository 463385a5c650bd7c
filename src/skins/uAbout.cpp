#include "uAbout.h"
#include "ErrorReport.h"
#include "MessageBoxes.h"
#include "TTable.h"
#include "WebOpener.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The texts come from the Product table: shown as they stand, never as markup.
QLabel *textLabel(QWidget *parent, const QSize &size)
{
    auto *l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setMinimumSize(size);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QLabel *linkLabel(QWidget *parent, const QSize &size)
{
    QLabel *l = textLabel(parent, size);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet("color: green;");
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

TfAbout::TfAbout(ClockWindow *clock, TTable &product, QWidget *parent)
    : ClockDialog(clock, Fade::Keep, parent), m_product(product)
{
    setObjectName("fAbout");
    setWindowTitle(tr("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    imgProduct = new QLabel(this);
    imgProduct->setFixedSize(97, 113);
    imgProduct->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle = textLabel(this, QSize(253, 105));
    lblTitle->setWordWrap(true);
    QFont title("Comic Sans MS");
    title.setBold(true);
    title.setPixelSize(27);
    lblTitle->setFont(title);
    lblTitle->setStyleSheet("color: navy;");
    lblCopyright = textLabel(this, QSize(357, 17));
    lblCopyright->setWordWrap(true);
    lblWebSite = linkLabel(this, QSize(357, 17));
    lblCopyright2 = textLabel(this, QSize(357, 17));
    lblCopyright2->setWordWrap(true);
    lblWebSite2 = linkLabel(this, QSize(357, 17));
    // The optional lines keep their places while hidden, so the box keeps
    // one size and the second link stands where it always does.
    for (QLabel *optional : {lblCopyright2, lblWebSite2}) {
        QSizePolicy p = optional->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        optional->setSizePolicy(p);
        optional->hide();
    }
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setMinimumSize(75, 25);
    btnOK->setDefault(true);

    // The classic arrangement, grown by the layout wherever the font needs it.
    auto *top = new QHBoxLayout;
    top->setSpacing(7);
    top->addWidget(imgProduct, 0, Qt::AlignTop);
    top->addWidget(lblTitle, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 7, 8);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(7);
    layout->addWidget(lblCopyright);
    layout->addWidget(lblWebSite);
    layout->addSpacing(7);
    layout->addWidget(lblCopyright2);
    layout->addWidget(lblWebSite2);
    layout->addSpacing(7);
    layout->addWidget(btnOK, 0, Qt::AlignHCenter);

    lblWebSite->installEventFilter(this);
    lblWebSite2->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this, &TfAbout::accept);
    // The texts follow the record, like bound labels.
    connect(&m_product, &TTable::changed, this, [this] { ErrorReport::guardTick([this] { showRecord(); }); });
}

QString TfAbout::browserFailureText()
{
    return tr("Unable to start web browser. Make sure you have it properly set-up on your system.");
}

void TfAbout::FormActivate()
{
    // Placed beside the clock like every other dialog (ClockDialog): centred
    // on the screen, a clock that stays on top would cover it.
    showRecord();
    TTable &t = m_product;
    if (!t.Active() || t.RecordCount() == 0)
        return;
    if (!t.FieldByName("Copyright2").asString().isEmpty())
        lblCopyright2->show();
    if (!t.FieldByName("WebURL2").asString().isEmpty())
        lblWebSite2->show();
}

void TfAbout::showRecord()
{
    TTable &t = m_product;
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
    TTable &t = m_product;
    // No record gives an empty address, which fails like any other.
    const QString address = t.Active() && t.RecordCount() > 0 ? t.FieldByName(field).asString() : QString();
    if (!WebOpener::open(address))
        MessageBoxes::inform(this, windowTitle(), browserFailureText());
}

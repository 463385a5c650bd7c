#include "uTimeServer.h"

#include "MessageBoxes.h"
#include "SystemClock.h"
#include "TTable.h"
#include "TimeText.h"
#include "StatusPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

const char *const TfTimeServer::FailureText = "Synchronization failed.";
const char *const TfTimeServer::LongFailureText =
    "Synchronization failed. Check internet connection, try again later or select a different time server.";

namespace {
const char *const TimeServerField = "TimeServer";
}

TfTimeServer::TfTimeServer(TTable &timeTable, SystemClock &clock, ClockWindow *window, QWidget *parent,
                           ConnectionCheck connected)
    : ClockDialog(window, Fade::Keep, parent),
      m_table(timeTable), m_clock(clock), m_connected(std::move(connected))
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName("fTimeServer");
    setWindowTitle("Internet Time Server");

    auto *label = new QLabel("Select Time Server:", this);

    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");
    DBLookupComboBox1->setMinimumSize(241, 21);

    lblResult = new QLabel("Syncronization can only occur if this computer is connected to the Internet .", this);
    lblResult->setObjectName("lblResult");
    // It may carry the system's reason for a refusal: plain text.
    lblResult->setTextFormat(Qt::PlainText);
    lblResult->setWordWrap(true);
    lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblResult->setStyleSheet("color: green");
    // Room for the longest of its own texts, so the window keeps its size.
    const QRect longest = lblResult->fontMetrics().boundingRect(QRect(0, 0, 241, 0), Qt::TextWordWrap, LongFailureText);
    lblResult->setMinimumSize(241, std::max(33, longest.height() + 2));

    btnGetTime = new QPushButton("Get Time", this);
    btnGetTime->setObjectName("btnGetTime");
    btnGetTime->setMinimumSize(113, 33);
    btnGetTime->setDefault(true);

    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setMinimumSize(113, 33);

    // The classic arrangement, grown by the layout wherever the font needs it.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(15);
    buttons->addWidget(btnGetTime);
    buttons->addWidget(btnClose);
    auto *content = new QVBoxLayout;
    content->setContentsMargins(8, 8, 10, 13);
    content->setSpacing(3);
    content->addWidget(label);
    content->addWidget(DBLookupComboBox1);
    content->addWidget(lblResult);
    content->addSpacing(12);
    content->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(content);
    StatusPanel = addStatusBar(this, layout, &StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);

    IpSNTPClient1 = new TIpSNTPClient(clock, this);
    IpSNTPClient1->setObjectName("IpSNTPClient1");

    fillServerList();
    connect(&m_table, &TTable::changed, this, &TfTimeServer::showCurrentServer);
    connect(DBLookupComboBox1, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { m_table.setRecNo(index + 1); });
    connect(btnGetTime, &QPushButton::clicked, this, &TfTimeServer::btnGetTimeClick);
    connect(btnClose, &QPushButton::clicked, this, &TfTimeServer::close);
    connect(Timer1, &QTimer::timeout, this, &TfTimeServer::Timer1Timer);
    connect(IpSNTPClient1, &TIpSNTPClient::OnSNTPTime, this,
            [this](TIpSNTPClient *, double ts, double offset, double delay, int stratum, bool synced) {
                IpSNTPClient1SNTPTime(ts, offset, delay, stratum, synced);
            });
    connect(IpSNTPClient1, &TIpSNTPClient::OnFailure, this,
            [this](TIpSNTPClient *, TIpSNTPClient::TIpSNTPFailure kind, const QString &reason) {
                IpSNTPClient1Failure(kind, reason);
            });
    connect(IpSNTPClient1, &TIpSNTPClient::OnError, this,
            [this](TIpSNTPClient *, qintptr socket, int code, const QString &text) { ClientError(socket, code, text); });
}

TfTimeServer::~TfTimeServer() { closeIfOpen(); }

void TfTimeServer::fillServerList()
{
    // Reading every record moves the table's cursor; put it back after.
    const int recNo = m_table.RecNo();
    QStringList servers;
    m_table.DisableControls();
    for (m_table.First(); !m_table.Eof(); m_table.Next())
        servers << m_table.FieldByName(TimeServerField).asString();
    if (recNo > 0)
        m_table.setRecNo(recNo);
    m_table.EnableControls();
    DBLookupComboBox1->clear();
    DBLookupComboBox1->addItems(servers);
    showCurrentServer();
}

void TfTimeServer::showCurrentServer()
{
    const QSignalBlocker block(DBLookupComboBox1);
    DBLookupComboBox1->setCurrentIndex(m_table.RecNo() - 1);
}

void TfTimeServer::FormActivate()
{
    IpSNTPClient1->setSyncThreshold(999);
    SyncPending = false;
    if (!m_connected())
        message(QMessageBox::Warning,
                "No internet connection detected.\n"
                "Syncronization can only occur if this computer is connected to the Internet.");
    Timer1->start();
}

void TfTimeServer::FormClose()
{
    Timer1->stop();
    IpSNTPClient1->Cancel();
}

void TfTimeServer::message(int icon, const QString &text)
{
    // Not exec(): the dialog goes on working (and its timer ticking) while
    // the box is up.
    MessageBoxes::open(this, QMessageBox::Icon(icon), windowTitle(), text, Qt::WindowModal);
}

void TfTimeServer::btnGetTimeClick()
{
    lblResult->setText("Please wait.");
    lblResult->repaint();
    IpSNTPClient1->setServer(m_table.RecNo() > 0 ? m_table.FieldByName(TimeServerField).asString() : QString());
    SyncPending = true;
    try {
        IpSNTPClient1->QueryTime();
    } catch (const std::exception &e) {
        message(QMessageBox::Critical, QString::fromUtf8(e.what()));
    }
}

void TfTimeServer::Timer1Timer()
{
    StatusPanel->setText(TimeText::dateAndTime(m_clock.nowLocal()));
    if (SyncPending) {
        SyncPending = false;
        lblResult->setText(LongFailureText);
    }
}

void TfTimeServer::IpSNTPClient1SNTPTime(double, double, double, int, bool)
{
    // The client reports only replies it believes, from servers of stratum
    // 1 to 15, and only after the system has accepted any clock change.
    SyncPending = false;
    lblResult->setText("Time synchronized at " + TimeText::longTime(m_clock.nowLocal().time()));
}

void TfTimeServer::IpSNTPClient1Failure(TIpSNTPClient::TIpSNTPFailure Kind, const QString &Reason)
{
    // Shown as the error Get Time meets when the socket cannot be opened at
    // once: the text alone, "Please wait." until the next tick.
    if (Kind == TIpSNTPClient::sfNoSocket) {
        message(QMessageBox::Critical, Reason);
        return;
    }
    SyncPending = false;
    if (Kind == TIpSNTPClient::sfClockRefused) {
        QString why = Reason;
        if (!why.isEmpty())
            why[0] = why[0].toUpper();
        lblResult->setText(QString(FailureText) + ' ' + why + (why.endsWith('.') ? "" : "."));
    } else
        lblResult->setText(LongFailureText);
}

void TfTimeServer::ClientError(qintptr, int ErrCode, const QString &ErrStr)
{
    lblResult->setText(FailureText);
    const uint handle = uint(quintptr(winId()));
    message(QMessageBox::Critical, QString::asprintf("Error: Handle %8X, ErrCode %8X, ", handle, uint(ErrCode)) + ErrStr);
}

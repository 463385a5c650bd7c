#pragma once
#include "ClockDialog.h"
#include "IpTime.h"
#include "NetworkCheck.h"

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;
class ClockWindow;
class SystemClock;
class TTable;

// "Internet Time Server": picks a server from the Time table and sets the
// computer's clock from it. The chosen server is the Time table's current
// record, so the choice lasts as long as the table stays open (the run).
class TfTimeServer : public ClockDialog
{
    Q_OBJECT
public:
    using ConnectionCheck = std::function<bool()>;

    // timeTable: the main window's open Time table. window: the clock it
    // opens beside (null: where Qt puts it). connected: asked once when the
    // dialog opens.
    TfTimeServer(TTable &timeTable, SystemClock &clock, ClockWindow *window = nullptr, QWidget *parent = nullptr,
                 ConnectionCheck connected = NetworkCheck::internetConnected);
    ~TfTimeServer() override;

    static const char *const FailureText;
    static const char *const LongFailureText;

    bool syncPending() const { return SyncPending; }
    TIpSNTPClient &client() { return *IpSNTPClient1; }

public slots:
    void btnGetTimeClick();
    void Timer1Timer();

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    void fillServerList();
    void showCurrentServer();
    void IpSNTPClient1SNTPTime(double TimeStamp, double LocalOffset, double RoundTripDelay, int Stratum,
                               bool Synchronized);
    void IpSNTPClient1Failure(TIpSNTPClient::TIpSNTPFailure Kind, const QString &Reason);
    void ClientError(qintptr Socket, int ErrCode, const QString &ErrStr);
    void message(int icon, const QString &text);

    TTable &m_table;
    SystemClock &m_clock;
    ConnectionCheck m_connected;
    bool SyncPending = false;

    QComboBox *DBLookupComboBox1;
    QLabel *lblResult;
    QPushButton *btnGetTime;
    QPushButton *btnClose;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;
    QTimer *Timer1;
    TIpSNTPClient *IpSNTPClient1;
};

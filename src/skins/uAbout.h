#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TfClock;

// "About": the product's title, copyright lines, picture and web links, all
// from the current Product record.
class TfAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfAbout(TfClock *clock, QWidget *parent = nullptr);

    void FormActivate();
    void lblWebSiteClick();
    void lblWebSite2Click();

    QLabel *imgProduct, *lblTitle, *lblCopyright, *lblWebSite, *lblCopyright2, *lblWebSite2;
    QPushButton *btnOK;

    static QString browserFailureText();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void showRecord();
    void openAddress(const char *field);

    TfClock *m_clock;
    bool m_opened = false;
};

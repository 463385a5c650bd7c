#pragma once
#include "ClockDialog.h"

class QLabel;
class QPushButton;
class TTable;

// "About": the product's title, copyright lines, picture and web links, all
// from the current record of the Product table.
class TfAbout : public ClockDialog
{
    Q_OBJECT
public:
    TfAbout(ClockWindow *clock, TTable &product, QWidget *parent = nullptr);

    void FormActivate() override;
    void lblWebSiteClick();
    void lblWebSite2Click();

    QLabel *imgProduct, *lblTitle, *lblCopyright, *lblWebSite, *lblCopyright2, *lblWebSite2;
    QPushButton *btnOK;

    static QString browserFailureText();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void showRecord();
    void openAddress(const char *field);

    TTable &m_product;
};

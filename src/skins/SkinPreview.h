#pragma once
#include "SkinRules.h"

#include <QImage>
#include <QWidget>

// The picker's white preview square: the main picture drawn by the tab's
// rule and, on the hands tab, the minute and second hands in their strips.
// Every picture leaves out the colour of its bottom-left pixel.
class SkinPreview : public QWidget
{
public:
    explicit SkinPreview(QWidget *parent = nullptr);

    void setMain(const QImage &picture, SkinRules::PreviewFit fit);
    // Shows the hand strips (the hands tab only).
    void setHands(const QImage &minute, const QImage &second);
    void hideHands();
    void clear();

    // Where the main picture lands (empty when there is none).
    QRect mainRect() const { return m_mainRect; }
    bool handsShown() const { return m_handsShown; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QImage m_main, m_minute, m_second;
    QRect m_mainRect;
    bool m_handsShown = false;
};

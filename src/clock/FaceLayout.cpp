#include "FaceLayout.h"

#include <algorithm>

FaceLayout layoutFace(const FaceInput &in, int s)
{
    auto sz = [s](QSize v) { return QSize(scaled(v.width(), s), scaled(v.height(), s)); };
    FaceLayout out;
    out.window = sz(in.clock);
    out.DialLeft = scaled(in.clockLeft, s);
    out.DialTop = scaled(in.clockTop, s);
    out.dial = QRect(QPoint(out.DialLeft, out.DialTop), sz(in.dial));
    const int cx = out.dial.left() + out.dial.width() / 2;
    const int cy = out.dial.top() + out.dial.height() / 2;

    const QSize body = sz(in.body), head = sz(in.head);
    const int bodyLeft = cx - body.width() / 2 + scaled(in.bodyLeft, s);
    const int bodyTop = cy - out.dial.height() / 20 + scaled(in.bodyTop, s);
    out.body = QRect(QPoint(bodyLeft, bodyTop), body);
    const int headLeft = cx - head.width() / 2 + scaled(in.bodyHeadLeft, s) + scaled(in.headLeft, s);
    const int headTop = scaled(in.headTop, s) + bodyTop - head.height() + scaled(in.bodyHeadTop, s);
    out.head = QRect(QPoint(headLeft, headTop), head);

    out.SecHandOffset = scaled(in.secHandOffset, s);
    out.hour = sz(in.hour);
    out.minute = sz(in.minute);
    out.second = sz(in.second);
    auto centred = [cx, cy](QSize area) {
        return QRect(QPoint(cx - area.width() / 2, cy - area.height() / 2), area);
    };
    out.hourArea = centred(kHourArea);
    out.minuteArea = centred(kMinuteArea);
    out.secondArea = centred(kSecondArea);
    out.secondArea.moveTop(cy + out.SecHandOffset - kSecondArea.height() / 2);
    return out;
}

int fittingScale(const FaceInput &in, int sizeScale, QSize screen)
{
    auto fits = [&](int s) {
        for (QSize picture : {in.clock, in.dial, in.body, in.head, in.hour, in.minute, in.second})
            if (scaled(picture.width(), s) > screen.width() || scaled(picture.height(), s) > screen.height())
                return false;
        return true;
    };
    int s = std::max(1, sizeScale);
    if (screen.isEmpty())
        return s;
    // Start from what the screen can hold at all: a scale in the billions
    // is not counted down one by one.
    int widest = 1;
    for (QSize picture : {in.clock, in.dial, in.body, in.head, in.hour, in.minute, in.second})
        widest = std::max({widest, picture.width(), picture.height()});
    s = int(std::min<qint64>(s, qint64(std::max(screen.width(), screen.height())) * 16 / widest + 16));
    while (s > 1 && !fits(s))
        --s;
    return s;
}

QVector<FacePart> stackingOrder(bool minBehind, bool secBehind)
{
    using P = FacePart;
    if (minBehind && secBehind)
        return {P::Dial, P::SecondHand, P::MinuteHand, P::Body, P::Head, P::HourHand};
    if (minBehind)
        return {P::Dial, P::MinuteHand, P::Body, P::Head, P::HourHand, P::SecondHand};
    if (secBehind)
        return {P::Dial, P::SecondHand, P::Body, P::Head, P::HourHand, P::MinuteHand};
    return {P::Dial, P::Body, P::Head, P::HourHand, P::MinuteHand, P::SecondHand};
}

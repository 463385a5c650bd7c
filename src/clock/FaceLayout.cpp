#include "FaceLayout.h"

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

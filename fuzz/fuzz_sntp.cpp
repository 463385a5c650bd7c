// One UDP datagram taken as the answer to our SNTP request.
#include "FuzzSupport.h"
#include "NtpTime.h"
#include "SntpReply.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram = bytesOf(data, size);
    // Our clock: 2026, with a few milliseconds of round trip.
    const qint64 t1 = 3'976'000'000LL * 1'000'000'000LL;
    const qint64 t4 = t1 + 7'000'000;
    const Ntp::Timestamp sent = Ntp::fromNanos(t1);
    Sntp::ReplyFields fields;
    Sntp::readReply(datagram, &fields);
    const Sntp::Evaluation e = Sntp::evaluateReply(datagram, sent, t1, t4);
    if (e.fault == Sntp::Fault::None) {
        if (e.delayNanos < 0 || !std::isfinite(e.offsetMs()))
            std::abort();
        Sntp::exceedsThreshold(e.offsetMs(), 1000);
    } else if (Sntp::faultText(e.fault).isEmpty()) {
        std::abort();
    }
    return 0;
}

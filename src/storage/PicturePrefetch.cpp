#include "PicturePrefetch.h"
#include "TField.h"

#include <QThread>

#include <memory>
#include <vector>

namespace {

struct Decoded
{
    QByteArray bytes;
    QImage image;
};

struct Prefetch
{
    std::unique_ptr<QThread> thread;
    std::vector<Decoded> decoded; // written by the thread until it is waited for

    // Ended before the program: a thread still running would abort it.
    ~Prefetch() { wait(); }

    void wait()
    {
        if (thread) {
            thread->wait();
            thread.reset();
        }
    }
};

Prefetch &prefetch()
{
    static Prefetch p;
    return p;
}

} // namespace

namespace PicturePrefetch {

void start(std::function<QList<QByteArray>()> stored)
{
    finish();
    Prefetch &p = prefetch();
    p.thread.reset(QThread::create([&p, stored = std::move(stored)] {
        try {
            for (const QByteArray &bytes : stored()) {
                try {
                    // Checked as the field would check it; a picture it
                    // refuses is left to fail where it is read.
                    p.decoded.push_back({bytes, TField::decodePicture(bytes, {})});
                } catch (...) {
                }
            }
        } catch (...) {
            // Nothing could be guessed: everything is decoded where used.
            // Whatever it was, it must not end the program from this thread.
        }
    }));
    p.thread->start();
}

std::optional<QImage> take(const QByteArray &bytes)
{
    Prefetch &p = prefetch();
    p.wait();
    for (auto it = p.decoded.begin(); it != p.decoded.end(); ++it) {
        if (it->bytes == bytes) {
            QImage image = std::move(it->image);
            p.decoded.erase(it);
            return image;
        }
    }
    return std::nullopt;
}

void finish()
{
    Prefetch &p = prefetch();
    p.wait();
    p.decoded.clear();
}

} // namespace PicturePrefetch

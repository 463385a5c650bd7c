#include "PicturePrefetch.h"
#include "TField.h"
#include "TTable.h"

#include <QThread>

#include <condition_variable>
#include <map>
#include <mutex>
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
    std::mutex lock;
    std::condition_variable handed; // something was handed over, or the thread ended
    bool running = false;
    QThread *owner = nullptr; // the thread that started it, and takes what it opened
    QStringList promised;
    std::vector<Decoded> decoded;
    std::map<QString, std::unique_ptr<TTable>> tables;

    // Ended before the program: a thread still running would abort it.
    ~Prefetch() { wait(); }

    void wait()
    {
        if (thread) {
            thread->wait();
            thread.reset();
        }
    }

    void hand(const std::function<void()> &change)
    {
        {
            std::lock_guard guard(lock);
            change();
        }
        handed.notify_all();
    }
};

Prefetch &prefetch()
{
    static Prefetch p;
    return p;
}

} // namespace

namespace PicturePrefetch {

void Handover::picture(const QByteArray &bytes)
{
    try {
        // Checked as the field would check it; a picture it refuses is left
        // to fail where it is read.
        QImage image = TField::decodePicture(bytes, {});
        prefetch().hand([&] { prefetch().decoded.push_back({bytes, std::move(image)}); });
    } catch (...) {
    }
}

void Handover::table(const QString &fileName, std::unique_ptr<TTable> opened)
{
    // Its events, if any, belong to the thread that uses it from now on.
    if (opened)
        opened->moveToThread(prefetch().owner);
    prefetch().hand([&] {
        prefetch().promised.removeAll(fileName);
        if (opened)
            prefetch().tables[fileName] = std::move(opened);
    });
}

void start(const QStringList &promised, std::function<void(Handover &)> work)
{
    finish();
    Prefetch &p = prefetch();
    p.promised = promised;
    p.running = true;
    // Made on this thread first: Qt takes the first thread it meets for
    // the program's main thread, and the start may come before Qt's own.
    p.owner = QThread::currentThread();
    p.thread.reset(QThread::create([&p, work = std::move(work)] {
        Handover handover;
        try {
            work(handover);
        } catch (...) {
            // What was not handed over is done where used. Whatever went
            // wrong must not end the program from this thread.
        }
        p.hand([&p] {
            p.running = false;
            p.promised.clear();
        });
    }));
    p.thread->start();
}

bool promised(const QString &fileName)
{
    Prefetch &p = prefetch();
    std::lock_guard guard(p.lock);
    return p.promised.contains(fileName) || p.tables.count(fileName) > 0;
}

std::unique_ptr<TTable> takeTable(const QString &fileName)
{
    Prefetch &p = prefetch();
    std::unique_lock guard(p.lock);
    p.handed.wait(guard, [&] { return !p.promised.contains(fileName); });
    const auto it = p.tables.find(fileName);
    if (it == p.tables.end())
        return nullptr;
    std::unique_ptr<TTable> table = std::move(it->second);
    p.tables.erase(it);
    return table;
}

std::optional<QImage> take(const QByteArray &bytes)
{
    Prefetch &p = prefetch();
    std::unique_lock guard(p.lock);
    std::optional<QImage> found;
    p.handed.wait(guard, [&] {
        for (auto it = p.decoded.begin(); it != p.decoded.end(); ++it) {
            if (it->bytes == bytes) {
                found = std::move(it->image);
                p.decoded.erase(it);
                return true;
            }
        }
        return !p.running;
    });
    return found;
}

void finish()
{
    Prefetch &p = prefetch();
    p.wait();
    p.decoded.clear();
    p.tables.clear();
    p.promised.clear();
}

} // namespace PicturePrefetch

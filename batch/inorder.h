#pragma once
// Work done on several threads, its results handed on in the order the work
// was given. Qt's own threads and locks only: the Windows tool chain the
// runner is built with has no std::thread or std::mutex.

#include <QMutex>
#include <QMutexLocker>
#include <QQueue>
#include <QThreadPool>
#include <QWaitCondition>

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace inorder {

// Takes items from next() until it gives none, runs work(item) on `threads`
// threads of a pool of its own, and hands each result to take() in the
// order of the items, as soon as it and every one before it are done. At
// most `window` items are taken and not yet handed on at any time, so what
// is held is bounded by the window whatever the number of items: a slow
// item holds the later ones back rather than letting their results pile up.
// next() and take() run on the calling thread only, and not while the
// threads wait for them; work() must be safe to run on several threads at
// once.
template <class Item, class Result>
void run(int threads, int window, const std::function<std::optional<Item>()> &next,
         const std::function<Result(const Item &)> &work, const std::function<void(Result)> &take)
{
    threads = qMax(1, threads);
    window = qMax(threads, window);
    QMutex mutex;
    QWaitCondition itemQueued;  // or the end came
    QWaitCondition resultDone;
    QQueue<std::pair<qint64, Item>> queued;
    std::map<qint64, Result> done;
    bool ended = false;

    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    for (int i = 0; i < threads; ++i) {
        pool.start([&] {
            QMutexLocker lock(&mutex);
            for (;;) {
                while (queued.isEmpty() && !ended)
                    itemQueued.wait(&mutex);
                if (queued.isEmpty())
                    return;
                std::pair<qint64, Item> item = queued.dequeue();
                lock.unlock();
                Result result = work(item.second);
                lock.relock();
                done.emplace(item.first, std::move(result));
                resultDone.wakeOne();
            }
        });
    }

    qint64 given = 0;
    qint64 handed = 0;
    bool exhausted = false;
    QMutexLocker lock(&mutex);
    for (;;) {
        while (!exhausted && given - handed < window) {
            lock.unlock();
            std::optional<Item> item = next();
            lock.relock();
            if (!item) {
                exhausted = true;
                break;
            }
            queued.enqueue({given++, std::move(*item)});
            itemQueued.wakeOne();
        }
        if (const auto first = done.find(handed); first != done.end()) {
            Result result = std::move(first->second);
            done.erase(first);
            lock.unlock();
            take(std::move(result));
            lock.relock();
            ++handed;
        } else if (exhausted && handed == given) {
            break;
        } else {
            resultDone.wait(&mutex);
        }
    }
    ended = true;
    itemQueued.wakeAll();
    lock.unlock();
    pool.waitForDone();
}

} // namespace inorder

#include "gui/worker_run.h"

#include <QEventLoop>
#include <exception>
#include <thread>

namespace klemora::gui {

void runOnWorker(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it also ends a loop that has not started yet.
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace klemora::gui

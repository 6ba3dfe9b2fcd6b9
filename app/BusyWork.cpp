#include "app/BusyWork.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include "app/AppTitle.h"

namespace {

// Shared by the window's thread and the work's, which may outlive the call.
struct TProgress {
  std::mutex Mutex;
  std::condition_variable Finished;
  bool Done = false;
  std::exception_ptr Failure;
};

class TBusyCursor {
 public:
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

bool TBusyWork::Run(QWidget* parent, const QString& label, std::function<void()> work,
                    std::chrono::milliseconds dialogDelay) {
  const TBusyCursor cursor;
  auto progress = std::make_shared<TProgress>();
  std::thread([progress, work = std::move(work)] {
    try {
      work();
    } catch (...) {
      progress->Failure = std::current_exception();
    }
    {
      std::lock_guard lock(progress->Mutex);
      progress->Done = true;
    }
    progress->Finished.notify_all();
  }).detach();

  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> dialog;
  for (;;) {
    {
      std::unique_lock lock(progress->Mutex);
      if (progress->Finished.wait_for(lock, Tick, [&] { return progress->Done; })) break;
    }
    if (!dialog && clock.elapsed() >= dialogDelay.count()) {
      dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 0, parent);
      dialog->setObjectName(QStringLiteral("BusyDialog"));
      dialog->setWindowTitle(AppTitle);
      dialog->setWindowModality(Qt::WindowModal);
      dialog->setMinimumDuration(0);
      dialog->setAutoReset(false);
      dialog->show();
    }
    // Before the dialog, clicks and keys wait for the work's end; the modal dialog then
    // takes them itself.
    QCoreApplication::processEvents(dialog ? QEventLoop::AllEvents
                                           : QEventLoop::ExcludeUserInputEvents);
    if (dialog && dialog->wasCanceled()) return false;
  }
  // Done is set after Failure, under the mutex: Failure is settled here.
  if (progress->Failure) std::rethrow_exception(progress->Failure);
  return true;
}

// The yardstick for the start-up benchmark: an empty Qt Widgets window of
// the same size that reports when it first painted, then quits.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class EmptyWindow final : public QWidget {
 public:
  explicit EmptyWindow(const QElapsedTimer& clock) : clock_(clock) { setFixedSize(1240, 690); }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (reported_) return;
    reported_ = true;
    std::printf("startup_ms=%lld\n", static_cast<long long>(clock_.elapsed()));
    std::fflush(stdout);
    QTimer::singleShot(0, qApp, &QApplication::quit);
  }

 private:
  const QElapsedTimer& clock_;
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QApplication app(argc, argv);
  EmptyWindow window(clock);
  window.show();
  return app.exec();
}

// The yardstick for the start-up benchmark: an empty Qt Widgets window of
// the same size that reports when it first painted, then quits. With
// --one-text it shows a single label, for reference: what drawing any text
// at all costs (fonts, shaping, glyphs), which the empty window never pays.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
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
  if (QApplication::arguments().contains(QStringLiteral("--one-text"))) new QLabel(QStringLiteral("Tavio"), &window);
  window.show();
  return app.exec();
}

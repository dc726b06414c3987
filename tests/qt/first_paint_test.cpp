// The hidden start-up benchmark: the first paint is reported once, after it
// is done, and `tavio --benchmark-startup` prints one line and quits.

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "qt/first_paint.h"

class FirstPaintTest : public QObject {
  Q_OBJECT

 private slots:
  void reportedOnceAfterTheFirstPaint() {
    QWidget window;
    auto* child = new QLabel(QStringLiteral("text"), &window);
    int child_paints_at_report = -1;
    int child_paints = 0;
    int reports = 0;
    struct PaintCounter : QObject {
      explicit PaintCounter(int& count) : count_(count) {}
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count_;
        return false;
      }
      int& count_;
    } counter(child_paints);
    child->installEventFilter(&counter);
    new tavio::qt::FirstPaintWatch(window, [&] {
      ++reports;
      child_paints_at_report = child_paints;
    });
    QCOMPARE(reports, 0);
    window.show();
    // Shown, exposed and painted; the report comes from the event loop after that.
    QApplication::processEvents();
    QApplication::processEvents();
    QCOMPARE(reports, 1);
    QVERIFY(child_paints_at_report >= 1);
    window.repaint();
    QApplication::processEvents();
    QCOMPARE(reports, 1);
  }

  void programPrintsTheStartupTimeAndQuits_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addRow("option last") << QStringList{"--simulate", "BRENTA:160:0x0401", "--benchmark-startup"};
    QTest::addRow("option first") << QStringList{"--benchmark-startup", "--simulate=ALDER"};
  }
  void programPrintsTheStartupTimeAndQuits() {
    QFETCH(QStringList, arguments);
    QProcess tavio;
    tavio.start(QStringLiteral(TAVIO_GUI_EXECUTABLE), arguments);
    QVERIFY(tavio.waitForStarted());
    QVERIFY2(tavio.waitForFinished(60000), "tavio did not quit after its first paint");
    QCOMPARE(tavio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tavio.exitCode(), 0);
    const QString out = QString::fromUtf8(tavio.readAllStandardOutput());
    const QRegularExpressionMatch line = QRegularExpression(QStringLiteral("^startup_ms=(\\d+)\n$")).match(out);
    QVERIFY2(line.hasMatch(), qPrintable(out));
    QVERIFY(line.captured(1).toInt() < 60000);
  }
};

QTEST_MAIN(FirstPaintTest)
#include "first_paint_test.moc"

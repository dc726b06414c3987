// The model-defaults dialogs as the user meets them: layout from dialog
// units, OK enabled by the chosen model type, and the code each way out of
// the dialog returns.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "core/files/defaults.h"
#include "core/files/defaults_dialog.h"
#include "core/model/family.h"
#include "qt/defaults_dialog_widget.h"
#include "qt/main_window.h"

using namespace tavio;
using tavio::qt::ModelDefaultsDialog;

namespace {

QRect Pixels(const ModelDefaultsDialog& dialog, int x, int y, int w, int h) {
  const DialogBaseUnits base = dialog.BaseUnits();
  return QRect(DialogUnitsToPixelsX(x, base), DialogUnitsToPixelsY(y, base), DialogUnitsToPixelsX(w, base),
               DialogUnitsToPixelsY(h, base));
}

void Click(ModelDefaultsDialog& dialog, uint16_t id) {
  QTest::mouseClick(dialog.Button(id), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
}

QString ClassOf(const QWidget* widget) { return QString::fromLatin1(widget->metaObject()->className()); }

using Ids = QList<int>;

}  // namespace

class DefaultsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // The base units come from the font the dialog speaks in, its owner's.
  void baseUnitsFromTheDialogFont() {
    qt::MainWindow window(Language::English);
    ModelDefaultsDialog dialog(kDefaultsDialogPlanes, kFamilyBrenta, Language::English, &window);
    QCOMPARE(dialog.font().pixelSize(), qt::kControlFontPixels);
    const QFontMetrics metrics(dialog.font());
    const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    QCOMPARE(dialog.BaseUnits(), (DialogBaseUnits{(alphabet / 26 + 1) / 2, metrics.height()}));
    QCOMPARE(dialog.size(), Pixels(dialog, 0, 0, 199, 193).size());
    QVERIFY(dialog.isModal());
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
  }

  void fixedItems_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QString>("text");
    QTest::addRow("101 group") << 101 << 40006 << "QGroupBox" << QRect(11, 58, 177, 106) << "Model Type";
    QTest::addRow("101 cancel") << 101 << 2 << "QPushButton" << QRect(112, 171, 50, 14) << "Cancel";
    QTest::addRow("101 ok") << 101 << 1 << "QPushButton" << QRect(37, 171, 50, 14) << "OK";
    QTest::addRow("102 group") << 102 << 40006 << "QGroupBox" << QRect(11, 58, 177, 89) << "Model Type";
    QTest::addRow("102 cancel") << 102 << 2 << "QPushButton" << QRect(112, 154, 50, 14) << "Cancel";
    QTest::addRow("102 ok") << 102 << 1 << "QPushButton" << QRect(37, 154, 50, 14) << "OK";
  }
  void fixedItems() {
    QFETCH(int, dialogId);
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QRect, units);
    QFETCH(QString, text);
    ModelDefaultsDialog dialog(dialogId, kFamilyBrenta, Language::English, nullptr);
    QWidget* item = dialog.Item(static_cast<uint16_t>(id));
    QVERIFY(item != nullptr);
    QCOMPARE(ClassOf(item), className);
    QCOMPARE(item->geometry(), Pixels(dialog, units.x(), units.y(), units.width(), units.height()));
    if (auto* group = qobject_cast<QGroupBox*>(item)) {
      QCOMPARE(group->title(), text);
    } else {
      QCOMPARE(qobject_cast<QPushButton*>(item)->text(), text);
    }
  }

  // Radio texts keep their place and height and grow to the right when the
  // font needs it, never beyond the model-type box.
  void radioButtons_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("language");
    QTest::addColumn<Ids>("ids");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Ids>("tops");
    QTest::addColumn<int>("width");
    QTest::addRow("101") << 101 << 0 << Ids{40008, 40002, 40003, 40004, 40005}
                         << QStringList{"Reset (Mode 1)", "Sail plane", "Sports plane", "Helicopter", "RC Car"}
                         << Ids{76, 93, 110, 127, 144} << 61;
    QTest::addRow("102") << 102 << 0 << Ids{40008, 40009, 40010, 40011}
                         << QStringList{"Reset (DJI-Mode)", "Multicopter", "Forward/Reverse", "Reverserotation"}
                         << Ids{76, 93, 109, 126} << 150;
    QTest::addRow("101 German") << 101 << 1 << Ids{40008, 40002, 40003, 40004, 40005}
                                << QStringList{"Reset (Mode 1)", "Segelflugzeug", "Motorflugzeug", "Helikopter",
                                               "RC Car"}
                                << Ids{76, 93, 110, 127, 144} << 61;
    QTest::addRow("102 German") << 102 << 1 << Ids{40008, 40009, 40010, 40011}
                                << QStringList{"Reset (DJI-Modus)", "Multikopter (Andere Stabi-Systeme)",
                                               QString::fromUtf8("Vorwärts/Rückwärts"), "Drehrichtungsumkehr"}
                                << Ids{76, 93, 109, 126} << 150;
  }
  void radioButtons() {
    QFETCH(int, dialogId);
    QFETCH(int, language);
    QFETCH(Ids, ids);
    QFETCH(QStringList, texts);
    QFETCH(Ids, tops);
    QFETCH(int, width);
    qt::MainWindow window(Language::English);
    ModelDefaultsDialog dialog(dialogId, kFamilyBrenta, language == 0 ? Language::English : Language::German,
                               &window);
    const QRect group = dialog.Item(dlg::kModelTypeGroup)->geometry();
    for (qsizetype i = 0; i < ids.size(); ++i) {
      auto* radio = qobject_cast<QRadioButton*>(dialog.Item(static_cast<uint16_t>(ids[i])));
      QVERIFY(radio != nullptr);
      QCOMPARE(radio->text(), texts[i]);
      QVERIFY(!radio->isChecked());
      const QRect expected = Pixels(dialog, 27, tops[i], width, 8);
      QCOMPARE(radio->geometry().topLeft(), expected.topLeft());
      QCOMPARE(radio->height(), expected.height());
      QVERIFY(radio->width() >= expected.width());
      QVERIFY2(radio->width() >= radio->sizeHint().width(), qPrintable(texts[i]));
      QVERIFY(radio->geometry().right() < group.right());
    }
  }

  void explanationFitsAboveTheBox_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("start");
    QTest::addRow("101") << 101 << 0 << "For loading defaulds please select model type.";
    QTest::addRow("102") << 102 << 0 << "For loading defaults please select model type.";
    QTest::addRow("101 German") << 101 << 1 << QString::fromUtf8("Wählen Sie zum Laden von Defaultwerten");
    QTest::addRow("102 German") << 102 << 1 << QString::fromUtf8("Wählen Sie zum Laden von Defaultwerten");
  }
  void explanationFitsAboveTheBox() {
    QFETCH(int, dialogId);
    QFETCH(int, language);
    QFETCH(QString, start);
    qt::MainWindow window(Language::English);
    ModelDefaultsDialog dialog(dialogId, kFamilyBrenta, language == 0 ? Language::English : Language::German,
                               &window);
    auto* text = qobject_cast<QLabel*>(dialog.Item(dlg::kExplanation));
    QVERIFY(text != nullptr);
    QVERIFY(text->text().startsWith(start));
    QVERIFY(text->wordWrap());
    const QRect units = Pixels(dialog, 11, 9, 177, 40);
    QCOMPARE(text->geometry().topLeft(), units.topLeft());
    QCOMPARE(text->width(), units.width());
    QVERIFY(text->height() >= units.height());
    QVERIFY(text->height() >= text->heightForWidth(text->width()));
    QVERIFY(text->geometry().bottom() < dialog.Item(dlg::kModelTypeGroup)->y());
  }

  void captionAndGermanButtons() {
    ModelDefaultsDialog dialog(kDefaultsDialogCopters, kFamilyDelmarZ, Language::German, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Modelldefaults laden"));
    QCOMPARE(qobject_cast<QGroupBox*>(dialog.Item(dlg::kModelTypeGroup))->title(), QStringLiteral("Modelltyp"));
    QCOMPARE(dialog.Button(dlg::kCancel)->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(dialog.Button(dlg::kOk)->text(), QStringLiteral("OK"));
    QVERIFY(dialog.Item(dlg::kRcCar) == nullptr);
    QVERIFY(dialog.Item(dlg::kSailPlane) == nullptr);
  }

  // Tab follows the template: the radio buttons in order, Cancel, then OK.
  void tabOrderIsTemplateOrder() {
    ModelDefaultsDialog dialog(kDefaultsDialogPlanes, kFamilyBrenta, Language::English, nullptr);
    Ids chain;
    QWidget* widget = &dialog;
    do {
      widget = widget->nextInFocusChain();
      if (widget->focusPolicy() & Qt::TabFocus) chain << widget->objectName().mid(4).toInt();
    } while (widget != &dialog);
    QCOMPARE(chain, (Ids{40008, 40002, 40003, 40004, 40005, 2, 1}));
    auto* ok = qobject_cast<QPushButton*>(dialog.Button(dlg::kOk));
    QVERIFY(ok->isDefault());
  }

  // OK after each click, for the family the dialog was opened with.
  void okFollowsTheChosenModelType_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("family");
    QTest::addColumn<Ids>("clicks");
    QTest::addColumn<QList<bool>>("okAfter");
    QTest::addRow("ALDER RC Car never") << 101 << int(kFamilyAlder) << Ids{40005, 40004, 40005, 40008}
                                        << QList<bool>{false, true, false, true};
    QTest::addRow("BRENTA RC Car") << 101 << int(kFamilyBrenta) << Ids{40005, 40002} << QList<bool>{true, true};
    QTest::addRow("CORVAN reset") << 101 << int(kFamilyCorvan) << Ids{40008} << QList<bool>{true};
    QTest::addRow("DELMAR-Z") << 102 << int(kFamilyDelmarZ) << Ids{40010, 40008, 40011}
                              << QList<bool>{true, true, true};
    QTest::addRow("unknown family") << 101 << 500 << Ids{40003, 40005} << QList<bool>{true, true};
  }
  void okFollowsTheChosenModelType() {
    QFETCH(int, dialogId);
    QFETCH(int, family);
    QFETCH(Ids, clicks);
    QFETCH(QList<bool>, okAfter);
    ModelDefaultsDialog dialog(dialogId, static_cast<uint16_t>(family), Language::English, nullptr);
    dialog.show();
    QVERIFY(!dialog.Button(dlg::kOk)->isEnabled());
    for (qsizetype i = 0; i < clicks.size(); ++i) {
      Click(dialog, static_cast<uint16_t>(clicks[i]));
      QCOMPARE(dialog.CheckedRadio(), clicks[i]);
      QCOMPARE(dialog.Button(dlg::kOk)->isEnabled(), okAfter[i]);
    }
  }

  // The ways out: -1 in `radio` chooses nothing first.
  void results_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("exit");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("result");
    const int alder = kFamilyAlder;
    const int brenta = kFamilyBrenta;
    const int delmar = kFamilyDelmarZ;
    QTest::addRow("sail plane") << 101 << brenta << 40002 << "ok" << true << model_type::kSailPlane;
    QTest::addRow("sports plane") << 101 << alder << 40003 << "ok" << true << model_type::kSportsPlane;
    QTest::addRow("helicopter") << 101 << alder << 40004 << "ok" << true << model_type::kHelicopter;
    QTest::addRow("RC Car BRENTA") << 101 << brenta << 40005 << "ok" << true << model_type::kRcCar;
    QTest::addRow("RC Car ALDER stays") << 101 << alder << 40005 << "ok" << false << 0;
    QTest::addRow("reset mode 1") << 101 << brenta << 40008 << "ok" << true << model_type::kReset;
    QTest::addRow("multicopter") << 102 << delmar << 40009 << "ok" << true << model_type::kMulticopter;
    QTest::addRow("forward/reverse") << 102 << delmar << 40010 << "ok" << true << model_type::kForwardReverse;
    QTest::addRow("reverse rotation") << 102 << delmar << 40011 << "ok" << true << model_type::kReverseRotation;
    QTest::addRow("reset DJI") << 102 << delmar << 40008 << "ok" << true << model_type::kReset;
    QTest::addRow("nothing chosen") << 101 << brenta << -1 << "ok" << false << 0;
    QTest::addRow("enter") << 102 << delmar << 40010 << "enter" << true << model_type::kForwardReverse;
    QTest::addRow("cancel") << 101 << brenta << 40002 << "cancel" << true << 0;
    QTest::addRow("escape") << 102 << delmar << 40009 << "escape" << true << 0;
    QTest::addRow("close box") << 101 << alder << 40004 << "close" << true << 0;
  }
  void results() {
    QFETCH(int, dialogId);
    QFETCH(int, family);
    QFETCH(int, radio);
    QFETCH(QString, exit);
    QFETCH(bool, closed);
    QFETCH(int, result);
    ModelDefaultsDialog dialog(dialogId, static_cast<uint16_t>(family), Language::English, nullptr);
    dialog.setResult(-1);
    dialog.show();
    if (radio > 0) Click(dialog, static_cast<uint16_t>(radio));
    if (exit == "ok") {
      QTest::mouseClick(dialog.Button(dlg::kOk), Qt::LeftButton);
    } else if (exit == "enter") {
      QTest::keyClick(dialog.Button(static_cast<uint16_t>(radio)), Qt::Key_Return);
    } else if (exit == "cancel") {
      QTest::mouseClick(dialog.Button(dlg::kCancel), Qt::LeftButton);
    } else if (exit == "escape") {
      QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
      dialog.close();
    }
    QCOMPARE(dialog.isVisible(), !closed);
    if (closed) QCOMPARE(dialog.result(), result);
  }
};

QTEST_MAIN(DefaultsDialogTest)
#include "defaults_dialog_test.moc"

// The window's controls: one widget per table row, with its ID, class,
// geometry, text and place in the creation order, in English and German.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include "core/shell/control_table.h"
#include "qt/main_window.h"
#include "qt/up_down_arrows.h"

using namespace tavio;
using tavio::qt::MainWindow;

namespace {

QString TextOf(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  if (auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
  return QString();
}

QStringList ItemsOf(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

const char* ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Value:
    case ControlKind::HelpField: return "QLabel";
    case ControlKind::Field:
    case ControlKind::DigitsField: return "QLineEdit";
    case ControlKind::Check: return "QCheckBox";
    case ControlKind::Radio: return "QRadioButton";
    case ControlKind::List: return "QComboBox";
    case ControlKind::Command: return "QPushButton";
    case ControlKind::Group: return "tavio::qt::GroupFrame";
    case ControlKind::Arrows: return "tavio::qt::UpDownArrows";
  }
  return "";
}

}  // namespace

class ControlSetTest : public QObject {
  Q_OBJECT

 private slots:
  void windowIsFixedWithTitleAndCloseBoxOnly() {
    MainWindow window(Language::English);
    QCOMPARE(window.size(), QSize(1240, 690));
    QCOMPARE(window.minimumSize(), QSize(1240, 690));
    QCOMPARE(window.maximumSize(), QSize(1240, 690));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavio"));
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.focusPolicy(), Qt::NoFocus);
  }

  void childrenAreTheTableInCreationOrder() {
    MainWindow window(Language::English);
    QList<ControlId> ids;
    for (QObject* child : window.children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (widget == nullptr) continue;
      const auto id = static_cast<ControlId>(widget->property(qt::kControlIdProperty).toUInt());
      QCOMPARE(widget->objectName(), QStringLiteral("ctl%1").arg(id));
      ids << id;
    }
    QList<ControlId> table;
    for (const ControlDef& def : ControlTable()) table << def.id;
    QCOMPARE(ids.size(), 85);
    QCOMPARE(ids, table);
  }

  // Every row: widget class, pixel geometry (lists one line high), text in
  // English, and whether Tab stops on it.
  void controlMatchesTable_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tabStop");
    for (const ControlDef& def : ControlTable()) {
      const int h = def.kind == ControlKind::List ? qt::kClosedListHeight : def.h;
      const bool shows_text = def.kind != ControlKind::List;
      QTest::addRow("%d", def.id) << int(def.id) << QString::fromLatin1(ClassFor(def.kind))
                                  << QRect(def.x, def.y, def.w, h)
                                  << (shows_text ? QString::fromStdU16String(ControlText(def, Language::English))
                                                 : QString())
                                  << IsTabStop(def.kind);
    }
  }
  void controlMatchesTable() {
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(bool, tabStop);
    MainWindow window(Language::English);
    QWidget* widget = window.Control(static_cast<ControlId>(id));
    QVERIFY(widget != nullptr);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget(), &window);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(TextOf(widget), text);
    QCOMPARE(widget->focusPolicy(), tabStop ? Qt::StrongFocus : Qt::NoFocus);
  }

  // Written out by hand, so a wrong row in the table shows up here too.
  void spotChecks_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addRow("BEC voltage label") << 200 << "QLabel" << QRect(20, 40, 180, 25) << "BEC voltage";
    QTest::addRow("BEC voltage field") << 2000 << "QLineEdit" << QRect(200, 38, 80, 25) << "0.0V";
    QTest::addRow("reverse rotation") << 2001 << "QCheckBox" << QRect(30, 90, 25, 25) << "";
    QTest::addRow("load defaults") << 2053 << "QPushButton" << QRect(70, 260, 160, 25) << "Load defaults";
    QTest::addRow("general box") << 1000 << "tavio::qt::GroupFrame" << QRect(10, 10, 280, 300) << "General";
    QTest::addRow("battery type") << 2006 << "QComboBox" << QRect(470, 35, 120, 25) << "";
    QTest::addRow("capacity limit") << 2008 << "QLineEdit" << QRect(510, 160, 80, 25) << "0.0Ah = Aus";
    QTest::addRow("help field") << 242 << "QLabel" << QRect(950, 370, 260, 260)
                                << "Here is the field for the comment";
    QTest::addRow("Ri label") << 212 << "QLabel" << QRect(20, 540, 180, 25) << "Ri.-Comp.";
    QTest::addRow("pole arrows") << 2054 << "tavio::qt::UpDownArrows" << QRect(570, 400, 20, 25) << "";
    QTest::addRow("auto timing") << 2004 << "QRadioButton" << QRect(340, 475, 25, 25) << "";
    QTest::addRow("timing angle") << 2026 << "QLineEdit" << QRect(510, 505, 80, 25) << QString::fromUtf8("0°");
    QTest::addRow("firmware box") << 1005 << "tavio::qt::GroupFrame" << QRect(1020, 125, 200, 130) << "Firmware-Info";
    QTest::addRow("unit name") << 224 << "QLabel" << QRect(1030, 155, 120, 25) << "LINKPUCK";
    QTest::addRow("unit version") << 225 << "QLabel" << QRect(1150, 155, 60, 25) << "0.0.0";
    QTest::addRow("store") << 2055 << "QPushButton" << QRect(1020, 265, 200, 40) << "Store on ESC";
  }
  void spotChecks() {
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    MainWindow window(Language::English);
    QWidget* widget = window.Control(static_cast<ControlId>(id));
    QVERIFY(widget != nullptr);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(TextOf(widget), text);
  }

  void textAlignment_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("alignment");
    QTest::addRow("label") << 200 << int(Qt::AlignLeft | Qt::AlignTop);
    QTest::addRow("value") << 225 << int(Qt::AlignRight | Qt::AlignTop);
    QTest::addRow("help field") << 242 << int(Qt::AlignLeft | Qt::AlignTop);
    QTest::addRow("field") << 2008 << int(Qt::AlignRight | Qt::AlignVCenter);
    QTest::addRow("digits field") << 2007 << int(Qt::AlignRight | Qt::AlignVCenter);
  }
  void textAlignment() {
    QFETCH(int, id);
    QFETCH(int, alignment);
    MainWindow window(Language::English);
    QWidget* widget = window.Control(static_cast<ControlId>(id));
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      QCOMPARE(int(label->alignment()), alignment);
      QVERIFY(label->wordWrap());
      QCOMPARE(label->textFormat(), Qt::PlainText);
    } else {
      auto* edit = qobject_cast<QLineEdit*>(widget);
      QVERIFY(edit != nullptr);
      QCOMPARE(int(edit->alignment()), alignment);
    }
  }

  void listsHaveTheirItemsAndNoSelection_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("items");
    QTest::addRow("battery") << 2006 << QStringList{"NiMh/NiCd", "LiPo", "LiFePo"};
    QTest::addRow("governor") << 2009 << QStringList{"Off", "Governor", "Governor Store"};
    QTest::addRow("brake") << 2013 << QStringList{"Off", "Switching brake", "Proportional"};
  }
  void listsHaveTheirItemsAndNoSelection() {
    QFETCH(int, id);
    QFETCH(QStringList, items);
    MainWindow window(Language::English);
    auto* list = window.ControlAs<QComboBox>(static_cast<ControlId>(id));
    QVERIFY(list != nullptr);
    QCOMPARE(ItemsOf(list), items);
    QCOMPARE(list->currentIndex(), -1);
    QVERIFY(!list->isEditable());
    QCOMPARE(list->maxVisibleItems(), 3);
  }

  void poleArrowsStepTheirBuddyWithinRange() {
    MainWindow window(Language::English);
    qt::UpDownArrows* arrows = window.PoleArrows();
    QVERIFY(arrows != nullptr);
    QCOMPARE(window.Control(ctl::kPoleArrows), static_cast<QWidget*>(arrows));
    QCOMPARE(arrows->Buddy(), window.ControlAs<QLineEdit>(ctl::kPoleCount));
    QCOMPARE(arrows->Position(), 2);
    QCOMPARE(arrows->UpButton()->arrowType(), Qt::UpArrow);
    QCOMPARE(arrows->DownButton()->arrowType(), Qt::DownArrow);
    QCOMPARE(arrows->UpButton()->focusPolicy(), Qt::NoFocus);
    // The buddy's right end lies under the arrows; its text keeps clear of them.
    QCOMPARE(arrows->Buddy()->textMargins().right(), 20);
  }

  void timingRadiosShareOneExclusiveGroup() {
    MainWindow window(Language::English);
    auto* automatic = window.ControlAs<QRadioButton>(ctl::kAutoTiming);
    auto* fixed = window.ControlAs<QRadioButton>(ctl::kFixTiming);
    QVERIFY(automatic->group() != nullptr);
    QCOMPARE(automatic->group(), fixed->group());
    QCOMPARE(automatic->group(), window.TimingGroup());
    QVERIFY(window.TimingGroup()->exclusive());
    QCOMPARE(window.TimingGroup()->buttons().size(), 2);
    QVERIFY(!automatic->isChecked());
    QVERIFY(!fixed->isChecked());
  }

  // Enter never clicks a command button; group boxes let the mouse through.
  void buttonsAndGroupBoxes() {
    MainWindow window(Language::English);
    for (ControlId id : {ctl::kLoadDefaults, ctl::kLoadFile, ctl::kSaveFile, ctl::kStore}) {
      auto* button = window.ControlAs<QPushButton>(id);
      QVERIFY(!button->autoDefault());
      QVERIFY(!button->isDefault());
    }
    int groups = 0;
    for (const ControlDef& def : ControlTable()) {
      if (def.kind != ControlKind::Group) continue;
      ++groups;
      QVERIFY(window.Control(def.id)->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    QCOMPARE(groups, 8);
  }

  void germanTexts_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addRow("label") << 200 << "BEC-Spannung";
    QTest::addRow("battery label") << 206 << "Akkutyp";
    QTest::addRow("cut-off label") << 207 << "Abschaltspannung / Zelle";
    QTest::addRow("load defaults") << 2053 << "Modell Defaults laden";
    QTest::addRow("load file") << 2050 << "Datei laden";
    QTest::addRow("save file") << 2051 << "Datei speichern";
    QTest::addRow("general") << 1000 << "Allgemein";
    QTest::addRow("governor") << 1002 << "Drehzahlregelung";
    QTest::addRow("store") << 2055 << "Auf Regler speichern";
    QTest::addRow("FET label") << 222 << "Max. Endstufentemperatur";
    QTest::addRow("help field") << 242
                                << QString::fromUtf8("Um einen Kommentar für einen Parameter zu erhalten, "
                                                     "die Maus über den jeweiligen Parameter bewegen.");
    QTest::addRow("literal stays") << 1005 << "Firmware-Info";
    QTest::addRow("Ri literal stays") << 212 << "Ri.-Comp.";
  }
  void germanTexts() {
    QFETCH(int, id);
    QFETCH(QString, text);
    MainWindow window(Language::German);
    QCOMPARE(window.language(), Language::German);
    QCOMPARE(TextOf(window.Control(static_cast<ControlId>(id))), text);
  }

  void germanListItems_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("items");
    QTest::addRow("battery") << 2006 << QStringList{"NiMh/NiCd", "LiPo", "LiFePo"};
    QTest::addRow("governor") << 2009 << QStringList{"Aus", "Governor", "Governor Store"};
    QTest::addRow("brake") << 2013 << QStringList{"Aus", "Schaltbremse", "Proportional"};
  }
  void germanListItems() {
    QFETCH(int, id);
    QFETCH(QStringList, items);
    MainWindow window(Language::German);
    QCOMPARE(ItemsOf(window.ControlAs<QComboBox>(static_cast<ControlId>(id))), items);
  }
};

QTEST_MAIN(ControlSetTest)
#include "control_set_test.moc"

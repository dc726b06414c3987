// The main window's widgets, the Panel over them with its boxes and file
// dialogs, and the model-defaults dialogs, each test on a fresh bare window.

#include <QAbstractButton>
#include <QAccessible>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <map>

#include "core/files/defaults.h"
#include "core/model/family.h"
#include "qt_fixture.h"

using namespace tavio;
using namespace tavio::qt::test;
using tavio::qt::MainWindow;

namespace {

// WCAG's relative luminance and contrast ratio.
double Luminance(QRgb rgb) {
  const auto linear = [](int c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}
double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
// A control as it shows over the window's texture.
QImage OnTheWindow(QWidget& window, QWidget* control) { return window.grab(control->geometry()).toImage(); }
// Pixels the focus turned into a colour that stands out from the texture.
constexpr QRgb kLightestTexture = qRgb(66, 66, 66);
constexpr int kMinMarkPixels = 10;  // the ring round a radio button has 14
int MarkPixels(const QImage& before, const QImage& after) {
  int marked = 0;
  for (int y = 0; y < after.height(); ++y) {
    for (int x = 0; x < after.width(); ++x) {
      const QRgb now = after.pixel(x, y);
      marked += now != before.pixel(x, y) && Contrast(now, kLightestTexture) >= 3.0 ? 1 : 0;
    }
  }
  return marked;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsFollowTheTable_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(ControlTable().size()); ++i) QTest::addRow("%d", ControlTable()[i].id) << i;
  }
  void controlsFollowTheTable() {
    QFETCH(int, index);
    // clang-format off
    static const std::map<ControlKind, const char*> kClass{
        {ControlKind::Label, "QLabel"}, {ControlKind::Value, "QLabel"}, {ControlKind::HelpField, "QLabel"},
        {ControlKind::Field, "QLineEdit"}, {ControlKind::DigitsField, "QLineEdit"},
        {ControlKind::Check, "QCheckBox"}, {ControlKind::Radio, "QRadioButton"}, {ControlKind::List, "QComboBox"},
        {ControlKind::Command, "QPushButton"}, {ControlKind::Group, "tavio::qt::GroupFrame"},
        {ControlKind::Arrows, "tavio::qt::UpDownArrows"}};
    // clang-format on
    const ControlDef& def = ControlTable()[index];
    Bare bare;
    // Creation order is the order of the window's children.
    const QList<QWidget*> created = bare.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(created.size(), 85);
    QWidget* widget = created[index];
    QCOMPARE(widget, bare.window.Control(def.id));
    QCOMPARE(widget->objectName(), QStringLiteral("ctl%1").arg(def.id));
    QCOMPARE(widget->metaObject()->className(), kClass.at(def.kind));
    // A closed list is one line high; the table gives its dropped height.
    QCOMPARE(widget->geometry(), QRect(def.x, def.y, def.w, def.kind == ControlKind::List ? 25 : def.h));
    QCOMPARE(bare.Text(def.id), QString::fromStdU16String(ControlText(def, Language::English)));
    QCOMPARE(widget->focusPolicy(), IsTabStop(def.kind) ? Qt::StrongFocus : Qt::NoFocus);
  }

  // What a screen reader gets for every control of the table, in both
  // languages: a field, list, check box, radio button and the arrows are
  // named by the text their label shows and described by their help text;
  // the other controls get no name or description of ours.
  void accessibleNamesAndDescriptions_data() {
    QTest::addColumn<int>("language");
    QTest::addRow("English") << int(Language::English);
    QTest::addRow("German") << int(Language::German);
  }
  void accessibleNamesAndDescriptions() {
    QFETCH(int, language);
    // control: {label beside it, help text}
    static const std::map<ControlId, std::pair<ControlId, StringId>> kLabelled{
        {2000, {200, 300}}, {2001, {201, 301}}, {2002, {202, 302}}, {2003, {203, 303}}, {2004, {204, 304}},
        {2005, {205, 305}}, {2006, {206, 306}}, {2007, {207, 307}}, {2008, {208, 308}}, {2009, {209, 309}},
        {2010, {210, 310}}, {2011, {211, 311}}, {2012, {212, 312}}, {2013, {213, 313}}, {2014, {214, 314}},
        {2015, {215, 315}}, {2016, {216, 316}}, {2017, {217, 317}}, {2018, {218, 318}}, {2019, {219, 319}},
        {2020, {220, 320}}, {2021, {221, 321}}, {2022, {222, 322}}, {2023, {223, 323}}, {2026, {205, 305}},
        {2033, {233, 333}}, {2034, {234, 334}}, {2035, {235, 335}}, {2036, {236, 336}}, {2037, {237, 337}},
        {2038, {238, 338}}, {2039, {239, 339}}, {2040, {240, 340}}, {2054, {214, 314}}};
    Bare bare(static_cast<Language>(language));
    QStringList wrong;
    int named = 0;
    for (const ControlDef& def : ControlTable()) {
      QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(bare.window.Control(def.id));
      QVERIFY(reader != nullptr);
      const auto labelled = kLabelled.find(def.id);
      QString name, description;
      if (labelled != kLabelled.end()) {
        ++named;
        name = bare.Text(labelled->second.first);
        description = qt::DisplayText(LookUpString(static_cast<Language>(language), labelled->second.second));
        QVERIFY(!name.isEmpty() && !description.isEmpty());
      }
      // A control without a name of ours speaks its own caption (buttons,
      // labels) through Qt; only what was set here is compared.
      const QString has_name = bare.window.Control(def.id)->accessibleName();
      if (has_name != name || (!name.isEmpty() && reader->text(QAccessible::Name) != name)) {
        wrong << QStringLiteral("%1 name '%2'").arg(def.id).arg(reader->text(QAccessible::Name));
      }
      if (reader->text(QAccessible::Description) != description) {
        wrong << QStringLiteral("%1 description '%2'").arg(def.id).arg(reader->text(QAccessible::Description).left(30));
      }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    QCOMPARE(named, 34);
  }

  // A label's new text (the I-part's on ALDER) names the control beside it
  // anew; no other control's name changes.
  void accessibleNameFollowsItsLabel() {
    Bare bare;
    std::map<ControlId, QString> before;
    for (const ControlDef& def : ControlTable()) before[def.id] = bare.window.Control(def.id)->accessibleName();
    bare.panel.SetText(ctl::kLabelRiComp, u"I-Anteil");
    for (const ControlDef& def : ControlTable()) {
      const QString want = def.id == ctl::kRiComp ? QStringLiteral("I-Anteil") : before[def.id];
      QCOMPARE(bare.window.Control(def.id)->accessibleName(), want);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(bare.window.Control(ctl::kRiComp))->text(QAccessible::Name),
             QStringLiteral("I-Anteil"));
  }

  // Creation order, not screen order: the General box's buttons go bottom-up.
  void tabFromTheBecVoltageField() {
    Bare bare;
    QVERIFY(ShowActive(bare.window));
    bare.panel.SetFocus(ctl::kBecVoltage);
    QList<uint> visited;
    for (int i = 0; i < 6; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->property(qt::kControlIdProperty).toUInt();
    }
    QCOMPARE(visited, (QList<uint>{2001, 2002, 2053, 2050, 2051, 2006}));
  }

  // Every control Tab reaches shows that it has the focus, in a colour that
  // stands out from the dark texture (at least 3:1 against its lightest
  // grey, as a focus mark needs): enough pixels change to such a colour.
  void focusShownAfterTab() {
    Bare bare;
    QVERIFY(ShowActive(bare.window));
    std::map<QWidget*, QImage> unfocused;
    for (const ControlDef& def : ControlTable()) {
      QWidget* control = bare.window.Control(def.id);
      if (IsTabStop(def.kind)) unfocused[control] = OnTheWindow(bare.window, control);
    }
    QStringList faint;
    QSet<QWidget*> reached;
    for (int i = 0; i < 60; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focused = QApplication::focusWidget();
      if (reached.contains(focused)) break;
      reached << focused;
      QVERIFY(unfocused.count(focused) == 1);
      const int marked = MarkPixels(unfocused[focused], OnTheWindow(bare.window, focused));
      if (marked < kMinMarkPixels) faint << QStringLiteral("%1: %2").arg(focused->objectName()).arg(marked);
    }
    QVERIFY(bare.window.testAttribute(Qt::WA_KeyboardFocusChange));
    QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral(", "))));
    // The 37 tab stops less the unchecked radio button of the two.
    QCOMPARE(reached.size(), 36);
  }

  // Of the two timing radio buttons only the checked one is a tab stop.
  void tabStopFollowsTheCheckedRadioButton() {
    Bare bare;
    QVERIFY(ShowActive(bare.window));
    QTest::mouseClick(bare.window.Control(ctl::kFixTiming), Qt::LeftButton, Qt::NoModifier, QPoint(8, 12));
    QCOMPARE(bare.window.Control(ctl::kAutoTiming)->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(bare.window.Control(ctl::kFixTiming)->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(bare.notices, (Notices{{2005, ctl::kBnClicked}}));
  }

  // ctest runs this under LANGUAGE=en, de and fr:en; only a German first
  // interface language gives German texts.
  void textsFollowTheInterfaceLanguage_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("item");  // -1: the control's own text
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    // clang-format off
    QTest::addRow("label") << 200 << -1 << "BEC voltage" << "BEC-Spannung";
    QTest::addRow("group") << 1000 << -1 << "General" << "Allgemein";
    QTest::addRow("button") << 2053 << -1 << "Load defaults" << "Modell Defaults laden";
    QTest::addRow("store") << 2055 << -1 << "Store on ESC" << "Auf Regler speichern";
    QTest::addRow("literal") << 1005 << -1 << "Firmware-Info" << "Firmware-Info";
    QTest::addRow("list item") << 2013 << 1 << "Switching brake" << "Schaltbremse";
    // clang-format on
  }
  void textsFollowTheInterfaceLanguage() {
    QFETCH(int, id);
    QFETCH(int, item);
    QFETCH(QString, english);
    QFETCH(QString, german);
    const bool in_german = qgetenv("LANGUAGE").startsWith("de");
    QCOMPARE(qt::LanguageFromSystemLocale(), in_german ? Language::German : Language::English);
    Bare bare(qt::LanguageFromSystemLocale());
    const auto control = static_cast<ControlId>(id);
    const Text text = item < 0 ? bare.panel.GetText(control) : bare.panel.GetItemText(control, item);
    QCOMPARE(QString::fromStdU16String(text), in_german ? german : english);
  }

  // The platform reports every program-made change of an edit field, even
  // to the text it has; static texts report nothing.
  void setTextRoundTrips_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("field");
    // clang-format off
    QTest::addRow("field") << 2000 << "5.6V" << "5.6V" << true;
    QTest::addRow("help field") << 242 << "first\r\nsecond" << "first\nsecond" << false;
    QTest::addRow("button") << 2055 << "Store" << "Store" << false;
    QTest::addRow("group") << 1005 << "Firmware" << "Firmware" << false;
    // clang-format on
  }
  void setTextRoundTrips() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(bool, field);
    Bare bare;
    bare.panel.SetText(static_cast<ControlId>(id), text.toStdU16String());
    bare.panel.SetText(static_cast<ControlId>(id), text.toStdU16String());
    QCOMPARE(bare.Text(static_cast<ControlId>(id)), shown);
    QCOMPARE(bare.notices, field ? (Notices{{id, ctl::kEnChange}, {id, ctl::kEnChange}}) : Notices{});
  }

  // Radio buttons are set one by one, as on the platform; lists refuse an
  // index past their items. None of it notifies.
  void checksAndSelectionsRoundTrip() {
    Bare bare;
    bare.panel.SetCheck(ctl::kAutoTiming, true);
    bare.panel.SetCheck(ctl::kFixTiming, true);
    QCOMPARE(bare.panel.GetCheck(ctl::kAutoTiming), true);
    bare.panel.SetCheck(ctl::kAutoTiming, false);
    QCOMPARE(bare.panel.GetCheck(ctl::kAutoTiming), false);
    QCOMPARE(bare.panel.GetCheck(ctl::kFixTiming), true);
    bare.panel.SetSelection(ctl::kGovernorType, 2);
    QCOMPARE(bare.panel.GetSelection(ctl::kGovernorType), 2);
    QCOMPARE(bare.Text(ctl::kGovernorType), QStringLiteral("Governor Store"));
    bare.panel.SetSelection(ctl::kGovernorType, 3);
    QCOMPARE(bare.panel.GetSelection(ctl::kGovernorType), -1);
    QCOMPARE(bare.panel.GetItemText(ctl::kBrakeType, 3), Text());
    QCOMPARE(bare.notices, Notices{});
  }

  // Focus moves notify as the platform's. Disabling the focused field parks
  // the focus on the window without a focus-out: the core has committed the
  // field before it disables it, and a second commit would judge it twice.
  void focusAndEnablingRoundTrip() {
    Bare bare;
    QVERIFY(ShowActive(bare.window));
    bare.panel.SetFocus(ctl::kCutoffVoltage);
    bare.panel.SetFocus(ctl::kCapacityLimit);
    bare.panel.Enable(ctl::kCapacityLimit, false);
    QCOMPARE(bare.panel.IsEnabled(ctl::kCapacityLimit), false);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&bare.window));
    QCOMPARE(bare.notices, (Notices{{2007, ctl::kEnSetFocus}, {2007, ctl::kEnKillFocus}, {2008, ctl::kEnSetFocus}}));
  }

  void messageBoxes_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<int>("qtButtons");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");  // what the box's title bar gets
    using B = QMessageBox;
    const QString error = QStringLiteral("Communication error");
    QTest::addRow("information, closed") << int(BoxIcon::Information) << int(BoxButtons::Ok) << int(B::NoButton)
                                         << int(B::Information) << int(B::Ok) << int(BoxAnswer::Ok) << error << error;
    QTest::addRow("yes") << int(BoxIcon::Warning) << int(BoxButtons::YesNo) << int(B::Yes) << int(B::Warning)
                         << int(B::Yes | B::No) << int(BoxAnswer::Yes) << error << error;
    QTest::addRow("yes/no closed") << int(BoxIcon::None) << int(BoxButtons::YesNo) << int(B::NoButton) << int(B::NoIcon)
                                   << int(B::Yes | B::No) << int(BoxAnswer::No) << error << error;
    QTest::addRow("retry") << int(BoxIcon::Error) << int(BoxButtons::RetryCancel) << int(B::Retry) << int(B::Critical)
                           << int(B::Retry | B::Cancel) << int(BoxAnswer::Retry) << error << error;
    QTest::addRow("retry/cancel closed") << int(BoxIcon::Warning) << int(BoxButtons::RetryCancel) << int(B::NoButton)
                                         << int(B::Warning) << int(B::Retry | B::Cancel) << int(BoxAnswer::Cancel) << error << error;
    const int yes_no_cancel = B::Yes | B::No | B::Cancel;
    QTest::addRow("yes of three") << int(BoxIcon::Warning) << int(BoxButtons::YesNoCancel) << int(B::Yes)
                                  << int(B::Warning) << yes_no_cancel << int(BoxAnswer::Yes) << error << error;
    QTest::addRow("no of three") << int(BoxIcon::Warning) << int(BoxButtons::YesNoCancel) << int(B::No)
                                 << int(B::Warning) << yes_no_cancel << int(BoxAnswer::No) << error << error;
    QTest::addRow("three closed") << int(BoxIcon::Warning) << int(BoxButtons::YesNoCancel) << int(B::NoButton)
                                  << int(B::Warning) << yes_no_cancel << int(BoxAnswer::Cancel) << error << error;
    // Qt would put the program's name into an empty title.
    QTest::addRow("no caption") << int(BoxIcon::Information) << int(BoxButtons::Ok) << int(B::Ok)
                                << int(B::Information) << int(B::Ok) << int(BoxAnswer::Ok) << "" << " ";
  }
  void messageBoxes() {
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, pressed);
    QFETCH(int, qtIcon);
    QFETCH(int, qtButtons);
    QFETCH(int, answer);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    Bare bare;
    bare.dialogs.box_answer = pressed;
    const BoxAnswer given = bare.panel.ShowMessageBox({u"Unit lost.\r\n\r\n1.)\r\n<b>plug</b>", caption.toStdU16String(),
                                                       static_cast<BoxIcon>(icon), static_cast<BoxButtons>(buttons)});
    QCOMPARE(int(given), answer);
    QCOMPARE(bare.dialogs.boxes.size(), size_t(1));
    const BoxSeen& box = bare.dialogs.boxes[0];
    QCOMPARE(box.text, QStringLiteral("Unit lost.\n\n1.)\n<b>plug</b>"));
    QCOMPARE(box.caption, title);
    QCOMPARE(int(box.icon), qtIcon);
    QCOMPARE(int(box.buttons), qtButtons);
    QCOMPARE(box.parent, static_cast<QWidget*>(&bare.window));
  }

  void fileDialogs_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("chosen");  // null: cancelled
    QTest::addColumn<QString>("path");
    const QString name = QString::fromUtf8("/tmp/Einstellungen für Böe.bin");
    QTest::addRow("open") << false << name << name;
    QTest::addRow("save") << true << name << name;
    QTest::addRow("cancelled") << true << QString() << "none";
  }
  void fileDialogs() {
    QFETCH(bool, save);
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    Bare bare;
    bare.dialogs.file_name = chosen;
    const std::optional<std::string> given = save ? bare.panel.ChooseSaveFile() : bare.panel.ChooseOpenFile();
    QCOMPARE(QString::fromStdString(given.value_or("none")), path);  // UTF-8
    QCOMPARE(bare.dialogs.file_dialogs.size(), size_t(1));
    const FileDialogSeen& seen = bare.dialogs.file_dialogs[0];
    QCOMPARE(seen.mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(seen.filters, QStringList{QStringLiteral("Binary File (*.bin)")});
    QCOMPARE(seen.suffix, QStringLiteral("bin"));
    QVERIFY(seen.confirms_overwrite);
  }

  // Through the Panel, the driver doing what the user would: OK is off until
  // a model type counts for the family; each way out gives its code.
  void defaultsDialogs_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("radio");  // 0: none clicked
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("exit");
    QTest::addColumn<int>("result");  // -1: still open
    const int alder = kFamilyAlder, brenta = kFamilyBrenta, delmar = kFamilyDelmarZ;
    QTest::addRow("nothing chosen") << 101 << brenta << 0 << false << "ok" << -1;
    QTest::addRow("sail plane") << 101 << alder << 40002 << true << "ok" << model_type::kSailPlane;
    QTest::addRow("RC Car, BRENTA") << 101 << brenta << 40005 << true << "ok" << model_type::kRcCar;
    QTest::addRow("RC Car, ALDER") << 101 << alder << 40005 << false << "ok" << -1;
    QTest::addRow("multicopter") << 102 << delmar << 40009 << true << "ok" << model_type::kMulticopter;
    QTest::addRow("reverse rotation, Enter")
        << 102 << delmar << 40011 << true << "enter" << model_type::kReverseRotation;
    QTest::addRow("cancel") << 101 << brenta << 40002 << true << "cancel" << 0;
    QTest::addRow("escape") << 102 << delmar << 40010 << true << "escape" << 0;
  }
  void defaultsDialogs() {
    QFETCH(int, dialogId);
    QFETCH(int, family);
    QFETCH(int, radio);
    QFETCH(bool, ok);
    QFETCH(QString, exit);
    QFETCH(int, result);
    Bare bare;
    QList<bool> ok_enabled;
    bool open = false;
    bare.dialogs.drive_defaults = [&](qt::ModelDefaultsDialog& dialog) {
      dialog.setResult(-1);
      dialog.show();
      ok_enabled << dialog.Button(dlg::kOk)->isEnabled();
      if (radio != 0) QTest::mouseClick(dialog.Button(radio), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
      ok_enabled << dialog.Button(dlg::kOk)->isEnabled();
      if (exit == "ok") QTest::mouseClick(dialog.Button(dlg::kOk), Qt::LeftButton);
      if (exit == "enter") QTest::keyClick(dialog.Button(radio), Qt::Key_Return);
      if (exit == "cancel") QTest::mouseClick(dialog.Button(dlg::kCancel), Qt::LeftButton);
      if (exit == "escape") QTest::keyClick(&dialog, Qt::Key_Escape);
      open = dialog.isVisible();
      return dialog.result();
    };
    QCOMPARE(bare.panel.RunDefaultsDialog(dialogId, static_cast<uint16_t>(family)), result);
    QCOMPARE(ok_enabled, (QList<bool>{false, ok}));
    QCOMPARE(open, result == -1);
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"

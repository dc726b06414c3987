// Every Panel call round-trips through the widgets; boxes and dialogs are
// answered through the dialog driver or, once, by a click inside their own
// event loop.

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <utility>
#include <vector>

#include "core/files/defaults.h"
#include "core/files/defaults_dialog.h"
#include "core/model/family.h"
#include "qt/main_window.h"
#include "qt/message_boxes.h"
#include "qt/qt_panel.h"
#include "qt/up_down_arrows.h"
#include "qt_test_support.h"

using namespace tavio;
using tavio::qt::MainWindow;
using tavio::qt::QtPanel;

namespace {

using Notice = std::pair<int, int>;  // control ID, notification code
using CheckSets = QList<QPair<int, bool>>;  // control ID, checked

struct Fixture {
  explicit Fixture(Language language = Language::English) : window(language), panel(window) {
    panel.SetDialogDriver(&dialogs);
    window.SetCommandSink([this](ControlId id, uint16_t code) { notices.emplace_back(id, code); });
  }
  MainWindow window;
  QtPanel panel;
  qt::test::ScriptedDialogs dialogs;
  std::vector<Notice> notices;
};

QString Q(const Text& text) { return QString::fromStdU16String(text); }
Text T(const QString& text) { return text.toStdU16String(); }

// Clicks a button of the modal box or dialog once its own event loop runs.
void ClickInModalLater(std::function<void(QWidget*)> click) {
  QMetaObject::invokeMethod(
      qApp, [click] { click(QApplication::activeModalWidget()); }, Qt::QueuedConnection);
}

}  // namespace

class PanelTest : public QObject {
  Q_OBJECT

 private slots:
  void setTextShowsAndGetTextReads_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addRow("field") << 2000 << "5.6V" << "5.6V";
    QTest::addRow("digits field") << 2007 << "3000mV" << "3000mV";
    QTest::addRow("label") << 212 << "I-Anteil" << "I-Anteil";
    QTest::addRow("value") << 225 << "1.3.4" << "1.3.4";
    QTest::addRow("command") << 224 << "LINKBOX" << "LINKBOX";
    QTest::addRow("button") << 2055 << "Store" << "Store";
    QTest::addRow("group") << 1005 << "Firmware" << "Firmware";
    QTest::addRow("line breaks") << 242 << "first\r\nsecond" << "first\nsecond";
    QTest::addRow("empty") << 2008 << "" << "";
  }
  void setTextShowsAndGetTextReads() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    Fixture f;
    f.panel.SetText(static_cast<uint16_t>(id), T(text));
    QCOMPARE(Q(f.panel.GetText(static_cast<uint16_t>(id))), shown);
  }

  // The platform notifies every program-made change of an edit field, even
  // to the text it already has; static texts notify nothing.
  void setTextNotifiesEveryChangeOfAnEditField() {
    Fixture f;
    f.panel.SetText(ctl::kBecVoltage, u"5.6V");
    f.panel.SetText(ctl::kBecVoltage, u"5.6V");
    f.panel.SetText(ctl::kLabelRiComp, u"I-Anteil");
    f.panel.SetText(ctl::kHoldTime, u"0ms");
    QCOMPARE(f.notices, (std::vector<Notice>{
                            {ctl::kBecVoltage, ctl::kEnChange},
                            {ctl::kBecVoltage, ctl::kEnChange},
                            {ctl::kHoldTime, ctl::kEnChange},
                        }));
  }

  void checkBoxesRoundTripSilently() {
    Fixture f;
    f.panel.SetCheck(ctl::kReverseRotation, true);
    QVERIFY(f.panel.GetCheck(ctl::kReverseRotation));
    QVERIFY(!f.panel.GetCheck(ctl::kForwardBackward));
    f.panel.SetCheck(ctl::kReverseRotation, false);
    QVERIFY(!f.panel.GetCheck(ctl::kReverseRotation));
    QVERIFY(f.notices.empty());
  }

  // Setting one radio button leaves the other alone, as on the platform; the
  // group is still exclusive for the user's clicks.
  void radioButtonsAreSetOneByOne_data() {
    QTest::addColumn<CheckSets>("sets");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("fixed");
    using Sets = CheckSets;
    QTest::addRow("auto on") << Sets{{2004, true}, {2005, false}} << true << false;
    QTest::addRow("fixed on") << Sets{{2004, false}, {2005, true}} << false << true;
    QTest::addRow("switch to fixed") << Sets{{2004, true}, {2005, false}, {2004, false}, {2005, true}} << false
                                     << true;
    QTest::addRow("checked one cleared") << Sets{{2004, true}, {2004, false}} << false << false;
    QTest::addRow("both set") << Sets{{2004, true}, {2005, true}} << true << true;
  }
  void radioButtonsAreSetOneByOne() {
    QFETCH(CheckSets, sets);
    QFETCH(bool, automatic);
    QFETCH(bool, fixed);
    Fixture f;
    for (const auto& [id, checked] : sets) f.panel.SetCheck(static_cast<uint16_t>(id), checked);
    QCOMPARE(f.panel.GetCheck(ctl::kAutoTiming), automatic);
    QCOMPARE(f.panel.GetCheck(ctl::kFixTiming), fixed);
    QVERIFY(f.window.TimingGroup()->exclusive());
    QVERIFY(f.notices.empty());
  }

  void userClickOnARadioButtonClearsTheOther() {
    Fixture f;
    f.panel.SetCheck(ctl::kAutoTiming, true);
    f.panel.SetCheck(ctl::kFixTiming, false);
    QVERIFY(qt::test::ShowActive(f.window));
    QTest::mouseClick(f.window.Control(ctl::kFixTiming), Qt::LeftButton, Qt::NoModifier, QPoint(8, 12));
    QVERIFY(!f.panel.GetCheck(ctl::kAutoTiming));
    QVERIFY(f.panel.GetCheck(ctl::kFixTiming));
    QCOMPARE(f.notices, (std::vector<Notice>{{ctl::kFixTiming, ctl::kBnClicked}}));
  }

  void selectionsRoundTrip_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::addRow("battery LiPo") << 2006 << 1 << 1 << "LiPo";
    QTest::addRow("governor store") << 2009 << 2 << 2 << "Governor Store";
    QTest::addRow("brake off") << 2013 << 0 << 0 << "Off";
    QTest::addRow("none") << 2013 << -1 << -1 << "";
    QTest::addRow("past the end") << 2006 << 3 << -1 << "";
    QTest::addRow("below none") << 2006 << -5 << -1 << "";
  }
  void selectionsRoundTrip() {
    QFETCH(int, id);
    QFETCH(int, index);
    QFETCH(int, selected);
    QFETCH(QString, text);
    Fixture f;
    f.panel.SetSelection(static_cast<uint16_t>(id), 1);
    f.panel.SetSelection(static_cast<uint16_t>(id), index);
    QCOMPARE(f.panel.GetSelection(static_cast<uint16_t>(id)), selected);
    QCOMPARE(Q(f.panel.GetText(static_cast<uint16_t>(id))), text);
    QVERIFY(f.notices.empty());
  }

  void itemTexts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addRow("battery 0") << 0 << 2006 << 0 << "NiMh/NiCd";
    QTest::addRow("brake 1") << 0 << 2013 << 1 << "Switching brake";
    QTest::addRow("brake 1 German") << 1 << 2013 << 1 << "Schaltbremse";
    QTest::addRow("past the end") << 0 << 2009 << 3 << "";
    QTest::addRow("negative") << 0 << 2009 << -1 << "";
    QTest::addRow("not a list") << 0 << 2000 << 0 << "";
  }
  void itemTexts() {
    QFETCH(int, language);
    QFETCH(int, id);
    QFETCH(int, index);
    QFETCH(QString, text);
    Fixture f(language == 0 ? Language::English : Language::German);
    QCOMPARE(Q(f.panel.GetItemText(static_cast<uint16_t>(id), index)), text);
  }

  void enablingRoundTrips_data() {
    QTest::addColumn<int>("id");
    for (int id : {2000, 2001, 2004, 2006, 2053, 2055, 2054, 212}) QTest::addRow("%d", id) << id;
  }
  void enablingRoundTrips() {
    QFETCH(int, id);
    Fixture f;
    const auto control = static_cast<uint16_t>(id);
    QVERIFY(f.panel.IsEnabled(control));
    f.panel.Enable(control, false);
    QVERIFY(!f.panel.IsEnabled(control));
    QVERIFY(!f.window.Control(control)->isEnabled());
    f.panel.Enable(control, true);
    QVERIFY(f.panel.IsEnabled(control));
  }

  void disabledArrowsTakeNoPress() {
    Fixture f;
    f.panel.Enable(ctl::kPoleArrows, false);
    QVERIFY(!f.window.PoleArrows()->UpButton()->isEnabled());
    QVERIFY(!f.window.PoleArrows()->DownButton()->isEnabled());
  }

  // Disabling the focused field parks the focus on the window without a
  // focus-out: the platform keeps the focus there and sends nothing.
  void disablingTheFocusedFieldSendsNothing() {
    Fixture f;
    QVERIFY(qt::test::ShowActive(f.window));
    f.panel.SetFocus(ctl::kCutoffVoltage);
    f.notices.clear();
    f.panel.Enable(ctl::kBecVoltage, false);
    f.panel.Enable(ctl::kCutoffVoltage, false);
    f.panel.Enable(ctl::kCapacityLimit, false);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&f.window));
    QVERIFY(f.notices.empty());
    f.panel.Enable(ctl::kCutoffVoltage, true);
    f.panel.SetFocus(ctl::kCutoffVoltage);
    QCOMPARE(f.notices, (std::vector<Notice>{{ctl::kCutoffVoltage, ctl::kEnSetFocus}}));
  }

  void setFocusNotifiesLikeThePlatform() {
    Fixture f;
    QVERIFY(qt::test::ShowActive(f.window));
    f.panel.SetFocus(ctl::kCutoffVoltage);
    f.panel.SetFocus(ctl::kCapacityLimit);
    f.panel.SetFocus(ctl::kStore);
    QCOMPARE(QApplication::focusWidget(), f.window.Control(ctl::kStore));
    QCOMPARE(f.notices, (std::vector<Notice>{
                            {ctl::kCutoffVoltage, ctl::kEnSetFocus},
                            {ctl::kCutoffVoltage, ctl::kEnKillFocus},
                            {ctl::kCapacityLimit, ctl::kEnSetFocus},
                            {ctl::kCapacityLimit, ctl::kEnKillFocus},
                        }));
  }

  void titleIsSet() {
    Fixture f;
    f.panel.SetTitle(u"TAVIO (Version 01.02.00): Nicht verbunden");
    QCOMPARE(f.window.windowTitle(), QStringLiteral("TAVIO (Version 01.02.00): Nicht verbunden"));
  }

  void unknownControlsAreHarmless() {
    Fixture f;
    constexpr uint16_t kNoSuchControl = 4711;
    f.panel.SetText(kNoSuchControl, u"x");
    f.panel.SetCheck(kNoSuchControl, true);
    f.panel.SetSelection(kNoSuchControl, 1);
    f.panel.Enable(kNoSuchControl, false);
    f.panel.SetFocus(kNoSuchControl);
    QCOMPARE(Q(f.panel.GetText(kNoSuchControl)), QString());
    QVERIFY(!f.panel.GetCheck(kNoSuchControl));
    QCOMPARE(f.panel.GetSelection(kNoSuchControl), -1);
    QVERIFY(!f.panel.IsEnabled(kNoSuchControl));
    QVERIFY(f.notices.empty());
  }

  void messageBoxes_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<int>("qtButtons");
    QTest::addRow("instructions") << int(BoxIcon::Information) << int(BoxButtons::Ok) << ""
                                  << int(QMessageBox::Information) << int(QMessageBox::Ok);
    QTest::addRow("comm error") << int(BoxIcon::Error) << int(BoxButtons::Ok) << "Communication error"
                                << int(QMessageBox::Critical) << int(QMessageBox::Ok);
    QTest::addRow("shutdown") << int(BoxIcon::Warning) << int(BoxButtons::YesNo) << ""
                              << int(QMessageBox::Warning) << int(QMessageBox::Yes | QMessageBox::No);
    QTest::addRow("file refused") << int(BoxIcon::Warning) << int(BoxButtons::RetryCancel) << ""
                                  << int(QMessageBox::Warning) << int(QMessageBox::Retry | QMessageBox::Cancel);
    QTest::addRow("saved") << int(BoxIcon::None) << int(BoxButtons::Ok) << "" << int(QMessageBox::NoIcon)
                           << int(QMessageBox::Ok);
  }
  void messageBoxes() {
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QString, caption);
    QFETCH(int, qtIcon);
    QFETCH(int, qtButtons);
    Fixture f;
    MessageBoxRequest request;
    request.text = u"No programming unit was found.\r\n\r\n1.)\r\nDisconnect <the> ESC";
    request.caption = T(caption);
    request.icon = static_cast<BoxIcon>(icon);
    request.buttons = static_cast<BoxButtons>(buttons);
    f.panel.ShowMessageBox(request);
    QCOMPARE(f.dialogs.boxes.size(), size_t(1));
    const qt::test::BoxSeen& box = f.dialogs.boxes[0];
    QCOMPARE(box.text, QStringLiteral("No programming unit was found.\n\n1.)\nDisconnect <the> ESC"));
    QCOMPARE(box.caption, caption);
    QCOMPARE(int(box.icon), qtIcon);
    QCOMPARE(int(box.buttons), qtButtons);
    QCOMPARE(box.parent, static_cast<QWidget*>(&f.window));
  }

  void boxAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<int>("answer");
    QTest::addRow("ok") << int(BoxButtons::Ok) << int(QMessageBox::Ok) << int(BoxAnswer::Ok);
    QTest::addRow("ok closed") << int(BoxButtons::Ok) << int(QMessageBox::NoButton) << int(BoxAnswer::Ok);
    QTest::addRow("yes") << int(BoxButtons::YesNo) << int(QMessageBox::Yes) << int(BoxAnswer::Yes);
    QTest::addRow("no") << int(BoxButtons::YesNo) << int(QMessageBox::No) << int(BoxAnswer::No);
    QTest::addRow("yes/no closed") << int(BoxButtons::YesNo) << int(QMessageBox::NoButton) << int(BoxAnswer::No);
    QTest::addRow("retry") << int(BoxButtons::RetryCancel) << int(QMessageBox::Retry) << int(BoxAnswer::Retry);
    QTest::addRow("cancel") << int(BoxButtons::RetryCancel) << int(QMessageBox::Cancel) << int(BoxAnswer::Cancel);
    QTest::addRow("retry closed") << int(BoxButtons::RetryCancel) << int(QMessageBox::NoButton)
                                  << int(BoxAnswer::Cancel);
  }
  void boxAnswers() {
    QFETCH(int, buttons);
    QFETCH(int, pressed);
    QFETCH(int, answer);
    Fixture f;
    f.dialogs.box_answers.push_back(pressed);
    MessageBoxRequest request;
    request.text = u"?";
    request.buttons = static_cast<BoxButtons>(buttons);
    QCOMPARE(int(f.panel.ShowMessageBox(request)), answer);
  }

  // Without a driver the box runs its own event loop; a click in it answers.
  void realBoxAnswersFromItsOwnLoop() {
    MainWindow window(Language::English);
    QtPanel panel(window);
    ClickInModalLater([](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      QCOMPARE(box->text(), QStringLiteral("Retry?"));
      box->button(QMessageBox::Retry)->click();
    });
    MessageBoxRequest request;
    request.text = u"Retry?";
    request.icon = BoxIcon::Warning;
    request.buttons = BoxButtons::RetryCancel;
    QCOMPARE(panel.ShowMessageBox(request), BoxAnswer::Retry);
  }

  void fileDialogs_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("filter");
    QTest::addRow("open") << false << 0 << "Binary File (*.bin)";
    QTest::addRow("save") << true << 0 << "Binary File (*.bin)";
    QTest::addRow("open German") << false << 1 << QString::fromUtf8("Binärdatei (*.bin)");
  }
  void fileDialogs() {
    QFETCH(bool, save);
    QFETCH(int, language);
    QFETCH(QString, filter);
    Fixture f(language == 0 ? Language::English : Language::German);
    f.dialogs.file_names.push_back(QString::fromUtf8("/tmp/Einstellungen für Böe.bin"));
    const std::optional<std::string> path = save ? f.panel.ChooseSaveFile() : f.panel.ChooseOpenFile();
    QVERIFY(path.has_value());
    QCOMPARE(*path, std::string("/tmp/Einstellungen f\xC3\xBCr B\xC3\xB6""e.bin"));
    QCOMPARE(f.dialogs.file_dialogs.size(), size_t(1));
    const qt::test::FileDialogSeen& seen = f.dialogs.file_dialogs[0];
    QCOMPARE(seen.mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(seen.filters, QStringList{filter});
    QCOMPARE(seen.suffix, QStringLiteral("bin"));
    QVERIFY(seen.confirms_overwrite);
    QCOMPARE(seen.parent, static_cast<QWidget*>(&f.window));
  }

  void cancelledFileDialogsChooseNothing() {
    Fixture f;
    f.dialogs.file_names.push_back(QString());
    f.dialogs.file_names.push_back(QStringLiteral(""));
    QVERIFY(!f.panel.ChooseOpenFile().has_value());
    QVERIFY(!f.panel.ChooseSaveFile().has_value());
  }

  void fileDialogModes() {
    const auto open = qt::BuildFileDialog(QFileDialog::AcceptOpen, Language::English, nullptr);
    const auto save = qt::BuildFileDialog(QFileDialog::AcceptSave, Language::English, nullptr);
    QCOMPARE(open->fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(save->fileMode(), QFileDialog::AnyFile);
  }

  void defaultsDialogThroughTheDriver_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("dialogsRun");
    QTest::addRow("planes") << 101 << 3 << 3 << 1;
    QTest::addRow("copters") << 102 << 6 << 6 << 1;
    QTest::addRow("cancelled") << 101 << 0 << 0 << 1;
    QTest::addRow("no such dialog") << 103 << 4 << 0 << 0;
  }
  void defaultsDialogThroughTheDriver() {
    QFETCH(int, dialogId);
    QFETCH(int, code);
    QFETCH(int, result);
    QFETCH(int, dialogsRun);
    Fixture f(Language::German);
    f.dialogs.defaults_codes.push_back(code);
    QCOMPARE(f.panel.RunDefaultsDialog(dialogId, kFamilyBrenta), result);
    QCOMPARE(f.dialogs.defaults_captions.size(), dialogsRun);
    if (dialogsRun == 1) QCOMPARE(f.dialogs.defaults_captions[0], QStringLiteral("Modelldefaults laden"));
  }

  void realDefaultsDialogRunsItsOwnLoop() {
    MainWindow window(Language::English);
    QtPanel panel(window);
    ClickInModalLater([](QWidget* modal) {
      auto* dialog = qobject_cast<qt::ModelDefaultsDialog*>(modal);
      QVERIFY(dialog != nullptr);
      QTest::mouseClick(dialog->Button(dlg::kReverseRotation), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
      QTest::mouseClick(dialog->Button(dlg::kOk), Qt::LeftButton);
    });
    QCOMPARE(panel.RunDefaultsDialog(kDefaultsDialogCopters, kFamilyDelmarZ), model_type::kReverseRotation);
  }

  // Last: once asked to quit, the thread's event loops end.
  void requestQuitEndsTheEventLoopOnceItRuns() {
    Fixture f;
    QVERIFY(!f.panel.QuitRequested());
    f.panel.RequestQuit();
    QVERIFY(f.panel.QuitRequested());
    QEventLoop loop;
    // Reached only when the quit did not come first.
    QMetaObject::invokeMethod(
        &loop, [&loop] { if (loop.isRunning()) loop.exit(7); }, Qt::QueuedConnection);
    QCOMPARE(loop.exec(), 0);
  }
};

QTEST_MAIN(PanelTest)
#include "panel_test.moc"

// The window's language follows the user's first interface language. ctest
// runs each case under its own LANGUAGE.

#include <QtTest>
#include <string>

#include "core/shell/control_ids.h"
#include "qt/main_window.h"
#include "qt/qt_panel.h"
#include "qt/session.h"
#include "support/fake_sleeper.h"

using namespace tavio;

class LocaleTest : public QObject {
  Q_OBJECT

 private slots:
  // LANGUAGE=de
  void germanFromInterfaceLanguage() {
    QCOMPARE(qgetenv("LANGUAGE"), QByteArray("de"));
    const Language language = qt::LanguageFromSystemLocale();
    QCOMPARE(language, Language::German);
    qt::GuiOptions options;
    options.simulate = "BRENTA";
    std::string error;
    test::FakeSleeper sleeper;
    const auto session = qt::Session::Create(options, language, &sleeper, error);
    QCOMPARE(QString::fromStdU16String(session->panel().GetText(ctl::kLabelBecVoltage)),
             QStringLiteral("BEC-Spannung"));
    QCOMPARE(QString::fromStdU16String(session->panel().GetText(ctl::kLoadFile)), QStringLiteral("Datei laden"));
  }

  // LANGUAGE=fr:en: the first language counts, and it is not German.
  void englishForOtherLanguages() {
    QCOMPARE(qgetenv("LANGUAGE"), QByteArray("fr:en"));
    QCOMPARE(qt::LanguageFromSystemLocale(), Language::English);
  }
};

QTEST_MAIN(LocaleTest)
#include "locale_test.moc"

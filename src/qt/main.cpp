// tavio: the window over the core, against a real programming unit or the
// built-in simulated one.

#include <QApplication>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <iostream>
#include <string>
#include <vector>

#include "qt/first_paint.h"
#include "qt/main_window.h"
#include "qt/session.h"
#include "qt/skin.h"

namespace {

std::vector<std::string> ArgumentsOf(const QStringList& arguments) {
  std::vector<std::string> args;
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  return args;
}

// Qt's own options start with a single dash ("-platform offscreen").
bool MayCarryQtOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-' && arg != "-h") return true;
  }
  return false;
}

// Prints the help or the usage error; the exit code.
int Finish(const tavio::options::ParseOutcome& parsed) {
  (parsed.exit_code == tavio::qt::kExitOk ? std::cout : std::cerr) << parsed.text;
  return parsed.exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  // Start-up is measured from here to the window's first paint.
  QElapsedTimer since_start;
  since_start.start();
  using namespace tavio::qt;

  // Our own options are read before Qt needs a display, so --help and usage
  // errors work on a plain terminal; Qt's options (-platform ...) are only
  // known once QApplication has taken them out.
  GuiOptions options;
  using tavio::options::ParseWindowOptions;
  tavio::options::ParseOutcome parsed = ParseWindowOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  const bool retry_after_qt = parsed.exit_code != kExitOk && MayCarryQtOptions(argc, argv);
  if (!parsed.proceed && !retry_after_qt) return Finish(parsed);

  QApplication application(argc, argv);
  UseProgramNumberFormat();
  UseProgramStyle();
  if (retry_after_qt) {
    options = GuiOptions();
    parsed = ParseWindowOptions(ArgumentsOf(QApplication::arguments()), options);
    if (!parsed.proceed) return Finish(parsed);
  }

  const tavio::Language language = LanguageFromSystemLocale();
  // Qt's own texts (the buttons of boxes and file dialogs) in the same language.
  QTranslator qt_texts;
  if (language == tavio::Language::German &&
      qt_texts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }

  std::string error;
  const std::unique_ptr<Session> session = Session::Create(options, language, nullptr, error);
  if (session == nullptr) {
    std::cerr << "tavio: " << error << "\n";
    return kExitFailure;
  }
  if (options.benchmark_startup) {
    new FirstPaintWatch(session->window(), [&since_start] {
      std::cout << "startup_ms=" << since_start.elapsed() << std::endl;
      QApplication::exit(kExitOk);
    });
  }
  session->Start();
  const int code = QApplication::exec();
  session->Stop();
  return code;
}

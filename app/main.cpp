// The window program: `framefit [FILE]` analyses FILE at start-up when it names an existing file.
// `framefit --fault-report TEXT` only shows TEXT in the fatal-fault box; a crashed run starts it
// that way so the box shows outside the crashed process.

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dialogs.h"
#include "last_chance.h"
#include "main_form.h"
#include "media_library.h"
#include "text_codec.h"

namespace {

// Whether a box started after a crash would show to anyone. QT_QPA_PLATFORM, when set, decides
// ("offscreen" and "minimal" show nothing: a box there would wait for ever); otherwise an X11 or
// Wayland display must be named.
bool DisplayAvailable() {
  if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform != nullptr && *platform != '\0') {
    const std::string_view name = std::string_view(platform).substr(0, std::string_view(platform).find(':'));
    return name != "offscreen" && name != "minimal";
  }
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 3 && std::string_view(argv[1]) == "--fault-report") {
    framefit::SetUpTextLocale();
    QApplication application(argc, argv);
    framefit::ShowFaultReport(argv[2]);
    return 0;
  }

  // Taken before QApplication removes the arguments it knows; only the first one counts.
  const std::string argument1 = argc > 1 ? argv[1] : "";
  if (DisplayAvailable()) {
    framefit::InstallLastChance({"/proc/self/exe", "--fault-report"});
  } else {
    framefit::InstallLastChance({});
  }
  framefit::SetUpTextLocale();
  QApplication application(argc, argv);
  framefit::SetUpTextLocale();  // QApplication sets the locale from the environment again

  framefit::QtDialogs dialogs;
  const auto form = framefit::CreateMainForm(dialogs, framefit::SystemMediaLibrary(), argument1);
  form->Window->show();
  application.exec();
  return 0;
}

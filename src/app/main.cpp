// The program: the Qt host, the application's objects, the event loop.
// A copy started while another runs on the same application directory says
// so, brings the running copy's main window to the front and ends.
//
// Test hook: with KELVARIN_SNAPSHOT set to a file path, the program starts
// as usual, then writes the texts of its main window (Program's snapshot and
// the title of the real window) into that file and closes as File, Exit
// does. KELVARIN_SNAPSHOT_ENTRY=N shows entry N first.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/app_dir.h"
#include "app/program.h"
#include "app/running_copy.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_host.h"
#include "platform/text/path_text.h"

namespace {

std::string EnvText(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

void WriteSnapshot(kelvarin::platform::qt::QtHost& host, kelvarin::app::Program& program, const std::string& path) {
  std::string entry = EnvText("KELVARIN_SNAPSHOT_ENTRY");
  if (!entry.empty()) program.mainWindow().ShowEntryNumbered(std::strtof(entry.c_str(), nullptr));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  QWidget* window = host.WindowOf(program.mainWindow());
  out << "window: " << (window ? window->windowTitle().toStdString() : std::string("<none>"))
      << (window && window->isVisible() ? " (visible)" : " (hidden)") << "\n";
  out << program.MainWindowSnapshot();
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  std::string appDir = kelvarin::app::ResolveAppDir(&error);
  kelvarin::platform::qt::QtHost host(argc, argv, appDir);
  QApplication::setWindowIcon(kelvarin::platform::qt::ProgramIcon());
  if (appDir.empty()) {
    host.MsgBox(error, kelvarin::platform::MsgButtons::OK, kelvarin::platform::MsgIcon::Critical);
    return 1;
  }
  kelvarin::app::RunningCopy copy;
  if (!copy.Claim(appDir)) {
    host.MsgBox("Another copy of the program is using the directory " + kelvarin::platform::PathText(appDir) + ".",
                kelvarin::platform::MsgButtons::OK, kelvarin::platform::MsgIcon::Information);
    copy.AskToShow();
    return 0;
  }

  kelvarin::app::Program program(host, appDir);
  host.SetMainForm(program.mainWindow());
  program.Start();

  std::unique_ptr<QSocketNotifier> copies;
  if (copy.Fd() >= 0) {
    copies = std::make_unique<QSocketNotifier>(copy.Fd(), QSocketNotifier::Read);
    QObject::connect(copies.get(), &QSocketNotifier::activated, [&] {
      if (copy.TakeRequests() == 0) return;
      QWidget* window = host.WindowOf(program.mainWindow());
      if (!window) return;
      if (window->isMinimized()) window->showNormal();
      window->raise();
      window->activateWindow();
    });
  }

  std::string snapshot = EnvText("KELVARIN_SNAPSHOT");
  if (!snapshot.empty()) {
    QTimer::singleShot(0, [&] {
      WriteSnapshot(host, program, snapshot);
      program.Quit();
    });
  }
  return host.Run();
}

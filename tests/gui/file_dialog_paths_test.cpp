// The Qt host's file dialogs answer the path the user picked as the file
// system's bytes, and paths the program shows come out whole on screen.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/qt/qt_host.h"
#include "platform/qt/qt_printer.h"
#include "platform/text/path_text.h"
#include "sample_form.h"

namespace kelvarin::testing {
namespace {

using platform::qt::QtHost;

// Once the host's file dialog is up: notes the folder it opened in, types
// name and accepts. Gives up after a few seconds without a dialog.
void PickWhenShown(const QString& name, QString* seenDir, int tries = 500) {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (!dialog) {
    if (tries > 0) QTimer::singleShot(10, qApp, [=] { PickWhenShown(name, seenDir, tries - 1); });
    return;
  }
  *seenDir = dialog->directory().absolutePath();
  dialog->selectFile(name);
  static_cast<QDialog*>(dialog)->accept();  // the dialog's own checks run
}

class FileDialogPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    base_ = QDir(temp_.path()).canonicalPath().toStdString();
    folder_ = base_ + "/Ελλάδα";
    std::filesystem::create_directory(folder_);
    std::ofstream(folder_ + "/данные.dbf") << "x";
  }
  QTemporaryDir temp_;
  std::string base_;
  std::string folder_;
};

TEST_F(FileDialogPaths, TheSaveDialogAnswersThePickedNameInUtf8) {
  QtHost host(base_);
  platform::FileDialogRequest request;
  request.title = "ASCII File";
  request.defaultExt = "txt";
  request.filter = "Text (*.txt)|*.txt";
  request.initialDir = folder_;
  request.fileName = folder_ + "/BOOKS";
  QString seen;
  QTimer::singleShot(0, qApp, [&] { PickWhenShown(QStringLiteral("報告.txt"), &seen); });
  std::optional<std::string> answer = host.SaveFileDialog(request);
  EXPECT_EQ(seen, QString::fromUtf8(folder_)) << "the dialog opens in the folder it was given";
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, folder_ + "/報告.txt");
}

TEST_F(FileDialogPaths, TheOpenDialogAnswersAnExistingFileAsItsBytes) {
  QtHost host(folder_);  // the application directory is the default folder
  platform::FileDialogRequest request;
  request.title = "Open";
  request.filter = "dBase (*.dbf)|*.dbf";
  QString seen;
  QTimer::singleShot(0, qApp, [&] { PickWhenShown(QStringLiteral("данные.dbf"), &seen); });
  std::optional<std::string> answer = host.OpenFileDialog(request);
  EXPECT_EQ(seen, QString::fromUtf8(folder_));
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, folder_ + "/данные.dbf");
  EXPECT_TRUE(std::filesystem::is_regular_file(*answer));
}

// A form with a caption naming a folder and a list of its files.
class PathForm : public Form {
 public:
  explicit PathForm(Host& host) : Form(host, "frmPaths") {
    SetScaleWidth(4000);
    SetScaleHeight(3000);
    lblDirectory.Move(120, 120, 3700, 285);
    filFiles.Move(120, 480, 3700, 2000);
  }
  Label lblDirectory{*this, "lblDirectory"};
  FileList filFiles{*this, "filFiles"};
};

TEST_F(FileDialogPaths, CaptionsAndFileListsShowUtf8NamesOnScreen) {
  QtHost host(base_);
  PathForm form(host);
  form.lblDirectory.SetCaption(platform::PathText(folder_));
  form.filFiles.SetPattern("*.dbf");
  form.filFiles.SetPath(folder_);
  ShowAndActivate(host, form);
  auto* label = qobject_cast<QLabel*>(host.WidgetOf(form.lblDirectory));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QString::fromUtf8(folder_));
  auto* list = qobject_cast<QListWidget*>(host.WidgetOf(form.filFiles));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("данные.dbf"));
  form.UnloadForm();
}

TEST_F(FileDialogPaths, PdfReportsLandInAnApplicationFolderNamedInUtf8) {
  platform::qt::QtPrinter printer(folder_, platform::qt::QtPrinter::Target::Pdf);
  printer.PrintLine("Dune");
  printer.EndDoc();
  ASSERT_TRUE(printer.LastDocumentOk());
  const std::string file = printer.LastFile();
  EXPECT_EQ(file.substr(0, folder_.size() + 1), folder_ + "/");
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

}  // namespace
}  // namespace kelvarin::testing

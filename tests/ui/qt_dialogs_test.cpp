// The toolkit's own boxes behind the Dialogs interface. A timer answers each box the way a
// person would, so the modal loops return; a box that never shows fails the test instead.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <string>
#include <gtest/gtest.h>

#include "dialogs.h"

namespace framefit {
namespace {

const std::string XvidFile = std::string(FRAMEFIT_FIXTURES) + "/xvid_mp3.avi";

// Runs show_box; as soon as a modal box of type Box is up, hands it to answer, which must close it.
template <typename Box>
void AnswerModal(const std::function<void()>& show_box, const std::function<void(Box&)>& answer) {
  bool answered = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<Box*>(QApplication::activeModalWidget()); box != nullptr && !answered) {
      answered = true;
      answer(*box);
    }
  });
  poll.start();
  show_box();
  EXPECT_TRUE(answered);
}

struct ShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
};

ShownBox ShowAndRead(const std::function<void()>& show_box) {
  ShownBox shown;
  AnswerModal<QMessageBox>(show_box, [&shown](QMessageBox& box) {
    shown = {box.windowTitle(), box.text(), box.icon(), static_cast<int>(box.buttons().size())};
    box.button(QMessageBox::Ok)->click();
  });
  return shown;
}

TEST(QtDialogsTest, MessageBoxShowsCaptionLinesAndIconWithOneOkButton) {
  QtDialogs dialogs;
  ShownBox shown = ShowAndRead(
      [&] { dialogs.ShowMessage(nullptr, "Caption", "line 1\r\n<b>line 2</b>", MessageIcon::None); });
  EXPECT_EQ(shown.title, "Caption");
  EXPECT_EQ(shown.text, "line 1\n<b>line 2</b>");
  EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
  EXPECT_EQ(shown.buttons, 1);

  shown = ShowAndRead([&] { dialogs.ShowMessage(nullptr, "Caption", "division by zero", MessageIcon::Warning); });
  EXPECT_EQ(shown.icon, QMessageBox::Warning);
}

TEST(QtDialogsTest, FaultReportBoxIsCaptionedErrorWithoutIcon) {
  const ShownBox shown = ShowAndRead([] { ShowFaultReport("Runtime error 216 at 00401A2C"); });
  EXPECT_EQ(shown.title, "Error");
  EXPECT_EQ(shown.text, "Runtime error 216 at 00401A2C");
  EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
  EXPECT_EQ(shown.buttons, 1);
}

TEST(QtDialogsTest, FileDialogStartsAtTheGivenNameAndGivesThePathOrNothing) {
  QtDialogs dialogs;
  std::optional<std::string> chosen;
  QStringList preselected;
  AnswerModal<QFileDialog>([&] { chosen = dialogs.ChooseFile(nullptr, XvidFile); },
                           [&](QFileDialog& dialog) {
                             preselected = dialog.selectedFiles();
                             EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
                             EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
                             static_cast<QDialog&>(dialog).accept();  // Open, as the button does
                           });
  EXPECT_EQ(preselected, QStringList{QString::fromStdString(XvidFile)});
  EXPECT_EQ(chosen, XvidFile);

  AnswerModal<QFileDialog>([&] { chosen = dialogs.ChooseFile(nullptr, ""); },
                           [](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(chosen, std::nullopt);
}

}  // namespace
}  // namespace framefit

#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "controls.h"

namespace framefit {

std::optional<std::string> QtDialogs::ChooseFile(QWidget* owner, const std::string& start_name) {
  // No caption of our own and no filter: the dialog's own title, all files listed.
  const QString path = QFileDialog::getOpenFileName(owner, QString(), QString::fromStdString(start_name));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

void QtDialogs::ShowMessage(QWidget* owner, const std::string& caption, const std::string& text,
                            MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                  QString::fromStdString(caption), ToDisplayText(text), QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);  // a path or message holding "<" is not markup
  box.exec();
}

void ShowFaultReport(const std::string& text) {
  QtDialogs().ShowMessage(nullptr, "Error", text, MessageIcon::None);
}

}  // namespace framefit

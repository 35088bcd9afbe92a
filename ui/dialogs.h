#pragma once

// The modal boxes the window shows: the open dialog and the message box. They sit behind an
// interface so that tests can answer them from a script instead of waiting for a person.

#include <optional>
#include <string>

class QWidget;

namespace framefit {

enum class MessageIcon { None, Warning };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Lets the user pick one existing file, modal to owner; start_name pre-fills the name box (the
  // dialog opens in that file's folder). The chosen file's full path, or nullopt on cancel.
  virtual std::optional<std::string> ChooseFile(QWidget* owner, const std::string& start_name) = 0;
  // A message box with an OK button, modal to owner (none: a box of its own); returns when
  // dismissed. Lines in text are separated by CR LF.
  virtual void ShowMessage(QWidget* owner, const std::string& caption, const std::string& text,
                           MessageIcon icon) = 0;
};

// The toolkit's own file dialog and message box.
class QtDialogs final : public Dialogs {
 public:
  std::optional<std::string> ChooseFile(QWidget* owner, const std::string& start_name) override;
  void ShowMessage(QWidget* owner, const std::string& caption, const std::string& text,
                   MessageIcon icon) override;
};

// The box that reports a fatal fault of an earlier run: caption "Error", the text, OK, no icon.
// Needs a QApplication.
void ShowFaultReport(const std::string& text);

}  // namespace framefit

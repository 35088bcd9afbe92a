#pragma once

// The one window: its controls, the open dialog's memory, the analysed file's values, and the
// five commands behind its buttons. The calculations and the analysis reach the controls only
// through NamedTexts.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs.h"
#include "media_library.h"
#include "media_state.h"
#include "named_texts.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace framefit {

inline constexpr const char* WindowCaption = "Calc the best size for XviD 1.1";
inline constexpr int ClientWidth = 405;
inline constexpr int ClientHeight = 295;

// Four lines joined by CR LF, none after the last: the copyright line, what the program does,
// "Visit my Site: " and the home page, the issue tracker.
extern const std::string_view AboutText;

// What the open dialog keeps between showings: the last chosen path, emptied by a cancel.
struct OpenDialogState {
  std::string FileName;
};

class MainForm final : public NamedTexts {
 public:
  MainForm(Dialogs& dialogs, MediaLibrary& library);
  ~MainForm() override;
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // Edits and labels give and take their shown text; InfoMemo keeps the program's own copy
  // (CR LF line ends intact) and shows it with LF line ends.
  std::string ReadText(TextName name) const override;
  void WriteText(TextName name, std::string_view text) override;

  // Forgets any play time and frame rate; when argument1 names an existing file, puts it into
  // VideoFileEdit, analyses it and calculates. An arithmetic error of that calculation is
  // reported once the message loop runs, that is after the window is shown.
  void Startup(const std::string& argument1);

  // The button commands. An arithmetic error ends the command; the texts written before it
  // stay, and a warning box shows its message.
  void OnOpenClick();     // choose a file; when chosen: path into VideoFileEdit, analyse, calculate
  void OnReCalcClick();   // CalcSize
  void OnNewSizeClick();  // CheckNewSize on the size typed into RecommendEdit
  void OnAboutClick();    // AboutText in a box captioned like the window, no icon
  void OnCloseClick();    // asks the window to close once this click has been handled

  std::unique_ptr<QWidget> Window;  // top-level; its own area is the client area
  QLabel* VideoFileLabel = nullptr;
  QLineEdit* VideoFileEdit = nullptr;
  QPushButton* OpenButton = nullptr;
  OpenDialogState OpenDialog;
  QPlainTextEdit* InfoMemo = nullptr;
  QLineEdit* BitrateEdit = nullptr;
  QLabel* BitrateLabel = nullptr;
  QLabel* RecommendLabel = nullptr;
  QLineEdit* RecommendEdit = nullptr;
  QLabel* MinBitrateLabel = nullptr;
  QLabel* MaxBitrateLabel = nullptr;
  QPushButton* ReCalcButton = nullptr;
  QPushButton* AboutButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QLabel* QualityFactorLabel = nullptr;
  QPushButton* NewSizeButton = nullptr;
  QLabel* QualityVerdictLabel = nullptr;
  QFrame* TimingPanel = nullptr;
  QLabel* PlayTimeLabel = nullptr;
  QLineEdit* PlayTimeEdit = nullptr;
  QLabel* FrameRateLabel = nullptr;
  QLineEdit* FrameRateEdit = nullptr;
  QLabel* SecondsLabel = nullptr;
  ::framefit::MediaState MediaState;

 private:
  QLineEdit* EditFor(TextName name) const;  // nullptr for InfoMemo and the labels
  QLabel* LabelFor(TextName name) const;    // nullptr for the edits
  // AnalyzeFile on the path in VideoFileEdit, then CalcSize; an ArithmeticError's message, if any.
  std::optional<std::string> AnalyzeAndCalcSize();
  void ShowWarning(const std::string& message);

  Dialogs& dialogs_;
  MediaLibrary& library_;
  std::string info_memo_text_;
};

// Builds the window hidden, with every control at its place, the font set before any control
// exists and keyboard focus in VideoFileEdit; centres it on the primary screen; then runs
// Startup(argument1). Showing it is the caller's step, so the first showing holds the results.
std::unique_ptr<MainForm> CreateMainForm(Dialogs& dialogs, MediaLibrary& library,
                                         const std::string& argument1);

}  // namespace framefit

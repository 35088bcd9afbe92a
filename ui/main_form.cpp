#include "main_form.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "analyze_file.h"
#include "arithmetic_error.h"
#include "controls.h"
#include "file_test.h"
#include "size_calc.h"

namespace framefit {

const std::string_view AboutText =
    "Copyright (C) 2026 the framefit authors\r\n"
    "This program calculate the best size for the bitrate\r\n"
    "Visit my Site: " FRAMEFIT_HOME_PAGE "\r\n"
    FRAMEFIT_ISSUES_PAGE;

namespace {

// Runs the steps of one command; an ArithmeticError ends them and its message comes back.
template <typename Steps>
std::optional<std::string> RunCalculation(Steps&& steps) {
  try {
    steps();
    return std::nullopt;
  } catch (const ArithmeticError& error) {
    return error.what();
  }
}

// Centred on the whole primary screen (not its work area) by the outer size, frame included;
// each difference is halved by an arithmetic shift, so an odd or negative one rounds down.
void CentreOnScreen(QWidget& window) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QSize outer = window.frameGeometry().size();
  window.move(screen.left() + ((screen.width() - outer.width()) >> 1),
              screen.top() + ((screen.height() - outer.height()) >> 1));
}

}  // namespace

MainForm::MainForm(Dialogs& dialogs, MediaLibrary& library) : dialogs_(dialogs), library_(library) {}

MainForm::~MainForm() = default;

QLineEdit* MainForm::EditFor(TextName name) const {
  switch (name) {
    case TextName::VideoFileEdit: return VideoFileEdit;
    case TextName::BitrateEdit: return BitrateEdit;
    case TextName::RecommendEdit: return RecommendEdit;
    case TextName::PlayTimeEdit: return PlayTimeEdit;
    case TextName::FrameRateEdit: return FrameRateEdit;
    default: return nullptr;
  }
}

QLabel* MainForm::LabelFor(TextName name) const {
  switch (name) {
    case TextName::MinBitrateLabel: return MinBitrateLabel;
    case TextName::MaxBitrateLabel: return MaxBitrateLabel;
    case TextName::QualityFactorLabel: return QualityFactorLabel;
    case TextName::QualityVerdictLabel: return QualityVerdictLabel;
    default: return nullptr;
  }
}

std::string MainForm::ReadText(TextName name) const {
  if (name == TextName::InfoMemo) return info_memo_text_;
  if (QLineEdit* edit = EditFor(name)) return edit->text().toStdString();
  return LabelFor(name)->text().toStdString();
}

void MainForm::WriteText(TextName name, std::string_view text) {
  if (name == TextName::InfoMemo) {
    info_memo_text_ = std::string(text);
    InfoMemo->setPlainText(ToDisplayText(text));
    return;
  }
  const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (QLineEdit* edit = EditFor(name)) {
    edit->setText(shown);
  } else {
    LabelFor(name)->setText(shown);
  }
}

void MainForm::ShowWarning(const std::string& message) {
  dialogs_.ShowMessage(Window.get(), WindowCaption, message, MessageIcon::Warning);
}

std::optional<std::string> MainForm::AnalyzeAndCalcSize() {
  return RunCalculation([this] {
    AnalyzeFile(library_, MediaState, *this);
    CalcSize(MediaState, *this);
  });
}

void MainForm::Startup(const std::string& argument1) {
  MediaState.PlayTimeSeconds = 0;
  MediaState.FrameRateText.clear();
  if (argument1.empty() || !IsExistingFile(argument1)) return;
  WriteText(TextName::VideoFileEdit, argument1);
  const auto error = AnalyzeAndCalcSize();
  // The window is still hidden: the box waits until the loop runs and the window is up.
  if (error) QTimer::singleShot(0, Window.get(), [this, message = *error] { ShowWarning(message); });
}

void MainForm::OnOpenClick() {
  const std::optional<std::string> path = dialogs_.ChooseFile(Window.get(), OpenDialog.FileName);
  OpenDialog.FileName = path.value_or(std::string());
  if (!path) return;
  WriteText(TextName::VideoFileEdit, *path);
  if (const auto error = AnalyzeAndCalcSize()) ShowWarning(*error);
}

void MainForm::OnReCalcClick() {
  if (const auto error = RunCalculation([this] { CalcSize(MediaState, *this); })) ShowWarning(*error);
}

void MainForm::OnNewSizeClick() {
  if (const auto error = RunCalculation([this] { CheckNewSize(MediaState, *this); })) ShowWarning(*error);
}

void MainForm::OnAboutClick() {
  dialogs_.ShowMessage(Window.get(), WindowCaption, std::string(AboutText), MessageIcon::None);
}

void MainForm::OnCloseClick() {
  // Posted, not done here: the click handler returns first, then the window closes.
  QMetaObject::invokeMethod(Window.get(), &QWidget::close, Qt::QueuedConnection);
}

std::unique_ptr<MainForm> CreateMainForm(Dialogs& dialogs, MediaLibrary& library,
                                         const std::string& argument1) {
  auto form = std::make_unique<MainForm>(dialogs, library);
  MainForm& f = *form;

  f.Window = std::make_unique<QWidget>();
  QWidget* window = f.Window.get();
  window->setWindowTitle(QString::fromUtf8(WindowCaption));
  window->resize(ClientWidth, ClientHeight);
  // The face colour behind everything; each control takes its parent's palette and font.
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  window->setPalette(palette);
  window->setAutoFillBackground(true);
  window->setFont(WindowFont());

  // In creation order; the order also gives Tab its path.
  f.VideoFileLabel = CreateLabel(window, QStringLiteral("Video file"), 8, 16);
  f.BitrateLabel = CreateLabel(window, QStringLiteral("Target bitrate"), 256, 72);
  f.RecommendLabel = CreateLabel(window, QStringLiteral("Recommend size"), 272, 112, 97);
  f.MinBitrateLabel = CreateLabel(window, QString(), 256, 168, 145, 17);
  f.MaxBitrateLabel = CreateLabel(window, QString(), 256, 189, 145);
  f.QualityFactorLabel = CreateLabel(window, QString(), 256, 216, 145);
  // 280 + 17 runs two rows past the client area: the lower border is not seen.
  f.QualityVerdictLabel = CreateVerdictLabel(window, 8, 280, 393, 17);
  f.VideoFileEdit = CreateEdit(window, QString(), 71, 14, 225);
  f.OpenButton = CreateButton(window, QStringLiteral("Open"), 296, 16);
  f.InfoMemo = CreateReadOnlyMemo(window, 8, 48, 241, 121);
  f.BitrateEdit = CreateEdit(window, QStringLiteral("1000"), 328, 70, 49);
  f.RecommendEdit = CreateEdit(window, QString(), 264, 136);
  f.ReCalcButton = CreateButton(window, QStringLiteral("ReCalc"), 24, 248, 56);
  f.AboutButton = CreateButton(window, QStringLiteral("About"), 240, 248);
  f.CloseButton = CreateButton(window, QStringLiteral("Close"), 136, 248);
  f.NewSizeButton = CreateButton(window, QStringLiteral("New size"), 328, 248);
  f.TimingPanel = CreateSunkenPanel(window, 8, 176, 241, 65);
  f.PlayTimeLabel = CreateAutoSizeLabel(f.TimingPanel, QStringLiteral("PlayTime:"), 5, 4);
  f.FrameRateLabel = CreateAutoSizeLabel(f.TimingPanel, QStringLiteral("FrameRate"), 7, 31);
  f.SecondsLabel = CreateLabel(f.TimingPanel, QStringLiteral("in sec"), 167, 5);
  f.PlayTimeEdit = CreateEdit(f.TimingPanel, QString(), 63, 2);
  f.FrameRateEdit = CreateEdit(f.TimingPanel, QString(), 63, 31);

  QObject::connect(f.OpenButton, &QPushButton::clicked, window, [&f] { f.OnOpenClick(); });
  QObject::connect(f.ReCalcButton, &QPushButton::clicked, window, [&f] { f.OnReCalcClick(); });
  QObject::connect(f.AboutButton, &QPushButton::clicked, window, [&f] { f.OnAboutClick(); });
  QObject::connect(f.CloseButton, &QPushButton::clicked, window, [&f] { f.OnCloseClick(); });
  QObject::connect(f.NewSizeButton, &QPushButton::clicked, window, [&f] { f.OnNewSizeClick(); });

  f.VideoFileEdit->setFocus();  // taken up when the window is first activated
  CentreOnScreen(*window);
  f.Startup(argument1);
  return form;
}

}  // namespace framefit

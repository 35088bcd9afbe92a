// The window on Qt's real widgets (offscreen) with the real media library on the fixtures; the
// open dialog and the message box answer from a script, so nothing waits for a person.

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "arithmetic_error.h"
#include "controls.h"
#include "dialogs.h"
#include "main_form.h"
#include "media_library.h"
#include "size_calc.h"

namespace framefit {
namespace {

const std::string Fixtures = FRAMEFIT_FIXTURES;
const std::string XvidFile = Fixtures + "/xvid_mp3.avi";  // 720x576 shown 4:3, 25 fps, 2 s

class ScriptedDialogs final : public Dialogs {
 public:
  struct Message {
    std::string caption;
    std::string text;
    MessageIcon icon;
  };

  std::optional<std::string> ChooseFile(QWidget*, const std::string& start_name) override {
    start_names.push_back(start_name);
    if (answers.empty()) {
      ADD_FAILURE() << "open dialog shown without a scripted answer";
      return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowMessage(QWidget*, const std::string& caption, const std::string& text, MessageIcon icon) override {
    messages.push_back({caption, text, icon});
  }

  std::deque<std::optional<std::string>> answers;  // nullopt: the user cancels
  std::vector<std::string> start_names;
  std::vector<Message> messages;
};

constexpr TextName AllNames[] = {
    TextName::VideoFileEdit,   TextName::BitrateEdit,     TextName::RecommendEdit,
    TextName::PlayTimeEdit,    TextName::FrameRateEdit,   TextName::InfoMemo,
    TextName::MinBitrateLabel, TextName::MaxBitrateLabel, TextName::QualityFactorLabel,
    TextName::QualityVerdictLabel,
};

std::map<TextName, std::string> AllTexts(const MainForm& form) {
  std::map<TextName, std::string> texts;
  for (TextName name : AllNames) texts[name] = form.ReadText(name);
  return texts;
}

class MainFormTest : public testing::Test {
 protected:
  std::unique_ptr<MainForm> Start(const std::string& argument1 = "") {
    return CreateMainForm(dialogs_, SystemMediaLibrary(), argument1);
  }
  ScriptedDialogs dialogs_;
};

// --- construction ------------------------------------------------------------------------------

TEST_F(MainFormTest, EveryControlStandsWhereTheLayoutPutsIt) {
  const auto form = Start();
  const MainForm& f = *form;
  QWidget* window = f.Window.get();
  QWidget* panel = f.TimingPanel;
  struct Row {
    const char* name;
    QWidget* control;
    QWidget* parent;
    QString text;  // caption at creation; "-" for a control without one
    int x, y, width, height;  // width -1: fits its caption
  };
  const Row rows[] = {
      {"VideoFileLabel", f.VideoFileLabel, window, "Video file", 8, 16, 64, 22},
      {"BitrateLabel", f.BitrateLabel, window, "Target bitrate", 256, 72, 64, 22},
      {"RecommendLabel", f.RecommendLabel, window, "Recommend size", 272, 112, 97, 22},
      {"MinBitrateLabel", f.MinBitrateLabel, window, "", 256, 168, 145, 17},
      {"MaxBitrateLabel", f.MaxBitrateLabel, window, "", 256, 189, 145, 22},
      {"QualityFactorLabel", f.QualityFactorLabel, window, "", 256, 216, 145, 22},
      {"QualityVerdictLabel", f.QualityVerdictLabel, window, "", 8, 280, 393, 17},
      {"VideoFileEdit", f.VideoFileEdit, window, "", 71, 14, 225, 22},
      {"OpenButton", f.OpenButton, window, "Open", 296, 16, 64, 22},
      {"InfoMemo", f.InfoMemo, window, "", 8, 48, 241, 121},
      {"BitrateEdit", f.BitrateEdit, window, "1000", 328, 70, 49, 22},
      {"RecommendEdit", f.RecommendEdit, window, "", 264, 136, 100, 22},
      {"ReCalcButton", f.ReCalcButton, window, "ReCalc", 24, 248, 56, 22},
      {"AboutButton", f.AboutButton, window, "About", 240, 248, 64, 22},
      {"CloseButton", f.CloseButton, window, "Close", 136, 248, 64, 22},
      {"NewSizeButton", f.NewSizeButton, window, "New size", 328, 248, 64, 22},
      {"TimingPanel", f.TimingPanel, window, "-", 8, 176, 241, 65},
      {"PlayTimeLabel", f.PlayTimeLabel, panel, "PlayTime:", 5, 4, -1, -1},
      {"FrameRateLabel", f.FrameRateLabel, panel, "FrameRate", 7, 31, -1, -1},
      {"SecondsLabel", f.SecondsLabel, panel, "in sec", 167, 5, 64, 22},
      {"PlayTimeEdit", f.PlayTimeEdit, panel, "", 63, 2, 100, 22},
      {"FrameRateEdit", f.FrameRateEdit, panel, "", 63, 31, 100, 22},
  };

  // Created in the table's order: a parent lists its children in the order they were made.
  std::vector<QObject*> expected_order;
  for (const Row& row : rows) {
    if (row.parent == window) expected_order.push_back(row.control);
  }
  std::vector<QObject*> window_children;
  for (QObject* child : window->children()) {
    if (child->isWidgetType()) window_children.push_back(child);
  }
  EXPECT_EQ(window_children, expected_order);

  const QFontMetrics metrics(window->font());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(row.control, nullptr);
    EXPECT_EQ(row.control->parentWidget(), row.parent);
    QString text = "-";
    if (auto* label = qobject_cast<QLabel*>(row.control)) text = label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(row.control)) text = edit->text();
    if (auto* button = qobject_cast<QPushButton*>(row.control)) text = button->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(row.control)) text = memo->toPlainText();
    EXPECT_EQ(text.toStdString(), row.text.toStdString());
    const int width = row.width >= 0 ? row.width : metrics.horizontalAdvance(row.text) + 1;
    const int height = row.height >= 0 ? row.height : metrics.height() + 1;
    // Positions count from the parent's client area, inside the panel's sunken edge.
    const QPoint origin = row.parent->contentsRect().topLeft();
    EXPECT_EQ(row.control->geometry(), QRect(origin + QPoint(row.x, row.y), QSize(width, height)));
    EXPECT_EQ(row.control->font(), window->font());
  }
  EXPECT_EQ(panel->contentsRect().topLeft(), QPoint(1, 1));  // a thin edge, one pixel

  EXPECT_EQ(window->size(), QSize(ClientWidth, ClientHeight));
  EXPECT_EQ(window->size(), QSize(405, 295));
  EXPECT_EQ(window->windowTitle().toStdString(), "Calc the best size for XviD 1.1");
  EXPECT_EQ(metrics.height(), WindowFontHeight);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainFormTest, WindowIsCentredOnThePrimaryScreenAndStaysResizable) {
  const auto form = Start();
  QWidget& window = *form->Window;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QSize outer = window.frameGeometry().size();
  EXPECT_EQ(window.pos(), screen.topLeft() + QPoint((screen.width() - outer.width()) >> 1,
                                                    (screen.height() - outer.height()) >> 1));
  EXPECT_EQ(window.layout(), nullptr);
  EXPECT_NE(window.minimumSize(), window.maximumSize());

  // A larger window leaves every control where it was.
  const QRect memo = form->InfoMemo->geometry();
  window.show();
  window.resize(700, 500);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->InfoMemo->geometry(), memo);
}

TEST_F(MainFormTest, ControlsHaveTheirKindsLook) {
  const auto form = Start();
  const MainForm& f = *form;

  EXPECT_TRUE(f.InfoMemo->isReadOnly());
  EXPECT_TRUE(f.InfoMemo->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
  EXPECT_TRUE(f.InfoMemo->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
  EXPECT_EQ(f.InfoMemo->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(f.InfoMemo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(f.InfoMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  EXPECT_EQ(f.QualityVerdictLabel->frameShape(), QFrame::Box);
  EXPECT_EQ(f.QualityVerdictLabel->frameShadow(), QFrame::Plain);
  EXPECT_EQ(f.QualityVerdictLabel->lineWidth(), 1);
  EXPECT_EQ(f.QualityVerdictLabel->alignment(), Qt::AlignLeft | Qt::AlignTop);
  EXPECT_EQ(f.TimingPanel->frameShape(), QFrame::Panel);
  EXPECT_EQ(f.TimingPanel->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(f.VideoFileLabel->alignment(), Qt::AlignLeft | Qt::AlignTop);
  EXPECT_FALSE(f.VideoFileLabel->wordWrap());
  EXPECT_TRUE(f.VideoFileEdit->hasFrame());

  // Colours as drawn: the face colour behind labels, the window background colour in the edit
  // boxes (the read-only memo too), the verdict label's border in the window-text colour.
  const QPalette palette = f.Window->palette();
  ASSERT_NE(palette.color(QPalette::Button), palette.color(QPalette::Base));
  const QImage image = f.Window->grab().toImage();
  const auto pixel = [&image](int x, int y) { return QColor(image.pixel(x, y)); };
  EXPECT_EQ(pixel(2, 2), palette.color(QPalette::Button));                // the window itself
  EXPECT_EQ(pixel(8 + 60, 16 + 20), palette.color(QPalette::Button));     // VideoFileLabel, no text there
  EXPECT_EQ(pixel(8 + 150, 48 + 60), palette.color(QPalette::Base));      // InfoMemo
  EXPECT_EQ(pixel(71 + 200, 14 + 11), palette.color(QPalette::Base));     // VideoFileEdit
  EXPECT_EQ(pixel(63 + 90 + 9, 176 + 1 + 31 + 11), palette.color(QPalette::Base));  // FrameRateEdit
  EXPECT_EQ(pixel(8, 288), palette.color(QPalette::WindowText));          // verdict's left border
  EXPECT_EQ(pixel(200, 280), palette.color(QPalette::WindowText));        // verdict's top border
  EXPECT_EQ(pixel(200, 288), palette.color(QPalette::Button));            // verdict's inside

  // Keyboard focus starts in VideoFileEdit.
  f.Window->show();
  QApplication::setActiveWindow(f.Window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(f.Window.get()));
  EXPECT_EQ(QApplication::focusWidget(), f.VideoFileEdit);
}

// --- start-up ----------------------------------------------------------------------------------

TEST_F(MainFormTest, WithoutAFileOnlyTheBitrateHasText) {
  for (const std::string& argument : {std::string(), Fixtures + "/no such file.avi", Fixtures,
                                     "\"" + XvidFile + "\""}) {
    SCOPED_TRACE(argument);
    const auto form = Start(argument);
    for (TextName name : AllNames) {
      EXPECT_EQ(form->ReadText(name), name == TextName::BitrateEdit ? "1000" : "")
          << TextNameString(name);
    }
    EXPECT_EQ(form->MediaState.PlayTimeSeconds, 0);
    EXPECT_EQ(form->MediaState.FrameRatio, 0.0);
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MainFormTest, StartupWithAFileHasTheResultsInPlaceBeforeTheWindowShows) {
  const auto form = Start(XvidFile);
  EXPECT_FALSE(form->Window->isVisible());
  EXPECT_EQ(form->ReadText(TextName::VideoFileEdit), XvidFile);
  const std::string memo = form->ReadText(TextName::InfoMemo);
  EXPECT_NE(memo.find(" Playtime:   00:00:02\r\nContainer: AVI\r\n"), std::string::npos) << memo;
  EXPECT_NE(memo.find("\r\nWidth and Height:720x576\r\nFrame: 25.000\r\n"), std::string::npos) << memo;
  // Shown with the toolkit's line ends; the program keeps its own copy with CR LF.
  EXPECT_EQ(form->InfoMemo->toPlainText(), ToDisplayText(memo));
  EXPECT_EQ(form->ReadText(TextName::PlayTimeEdit), "2");
  EXPECT_EQ(form->ReadText(TextName::FrameRateEdit), "25.000");
  EXPECT_EQ(form->ReadText(TextName::RecommendEdit), "464:352");
  EXPECT_EQ(form->MinBitrateLabel->text().toStdString(), "Min Bitrate: 816");
  EXPECT_EQ(form->MaxBitrateLabel->text().toStdString(), "Max Bitrate: 2041");
  EXPECT_EQ(form->QualityFactorLabel->text().toStdString(), "Quality factor:  0.245");
  EXPECT_EQ(form->QualityVerdictLabel->text().toStdString(), "Quality is good");

  // Start-up leaves the open dialog's name empty.
  dialogs_.answers.push_back(std::nullopt);
  const auto before = AllTexts(*form);
  QTest::mouseClick(form->OpenButton, Qt::LeftButton);
  EXPECT_EQ(dialogs_.start_names, std::vector<std::string>{""});
  EXPECT_EQ(AllTexts(*form), before);
}

TEST_F(MainFormTest, RelativeAndNonAsciiArgumentsAreTakenAsWritten) {
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(Fixtures);
  const auto form = Start("Über größe clip.avi");
  std::filesystem::current_path(saved);
  EXPECT_EQ(form->ReadText(TextName::VideoFileEdit), "Über größe clip.avi");
  EXPECT_EQ(form->VideoFileEdit->text(), QStringLiteral(u"Über größe clip.avi"));
  EXPECT_NE(form->ReadText(TextName::InfoMemo).find("Width and Height:320x240\r\n"), std::string::npos);
  EXPECT_FALSE(form->ReadText(TextName::RecommendEdit).empty());
}

TEST_F(MainFormTest, ArithmeticErrorAtStartupIsReportedOnceTheLoopRuns) {
  // Under one second of play time: PlayTimeEdit reads 0 and the quality factor divides by zero.
  const auto form = Start(Fixtures + "/short_clip.avi");
  EXPECT_EQ(form->ReadText(TextName::PlayTimeEdit), "0");
  EXPECT_FALSE(form->ReadText(TextName::RecommendEdit).empty());  // written before the failing step
  EXPECT_EQ(form->ReadText(TextName::QualityVerdictLabel), "");
  EXPECT_TRUE(dialogs_.messages.empty());

  form->Window->show();
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].caption, WindowCaption);
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::Warning);
  EXPECT_FALSE(dialogs_.messages[0].text.empty());
}

// --- commands ----------------------------------------------------------------------------------

TEST_F(MainFormTest, OpenAnalysesTheChosenFileAndRemembersItsNameUntilACancel) {
  const auto form = Start();
  dialogs_.answers = {XvidFile, std::nullopt, std::nullopt};

  QTest::mouseClick(form->OpenButton, Qt::LeftButton);
  EXPECT_EQ(form->ReadText(TextName::VideoFileEdit), XvidFile);
  EXPECT_NE(form->ReadText(TextName::InfoMemo).find("Width and Height:720x576\r\n"), std::string::npos);
  EXPECT_EQ(form->ReadText(TextName::RecommendEdit), "464:352");
  EXPECT_EQ(form->ReadText(TextName::MinBitrateLabel), "Min Bitrate: 816");
  EXPECT_EQ(form->ReadText(TextName::MaxBitrateLabel), "Max Bitrate: 2041");
  EXPECT_EQ(form->ReadText(TextName::QualityFactorLabel), "Quality factor:  0.245");
  EXPECT_EQ(form->ReadText(TextName::QualityVerdictLabel), "Quality is good");
  EXPECT_EQ(form->OpenDialog.FileName, XvidFile);

  // A cancel changes nothing in the window but forgets the name.
  const auto after_open = AllTexts(*form);
  QTest::mouseClick(form->OpenButton, Qt::LeftButton);
  EXPECT_EQ(AllTexts(*form), after_open);
  EXPECT_EQ(form->OpenDialog.FileName, "");
  QTest::mouseClick(form->OpenButton, Qt::LeftButton);

  EXPECT_EQ(dialogs_.start_names, (std::vector<std::string>{"", XvidFile, ""}));
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MainFormTest, ReCalcWorksFromTheStateAndTheNewBitrate) {
  const auto form = Start();
  const auto untouched = AllTexts(*form);
  QTest::mouseClick(form->ReCalcButton, Qt::LeftButton);
  EXPECT_EQ(AllTexts(*form), untouched);  // nothing analysed yet: nothing to size

  dialogs_.answers = {XvidFile};
  QTest::mouseClick(form->OpenButton, Qt::LeftButton);
  const std::string memo = form->ReadText(TextName::InfoMemo);
  form->BitrateEdit->setText("2000");
  // The file is not read again: a path typed over the old one changes nothing.
  form->VideoFileEdit->setText("/nonexistent.avi");
  QTest::mouseClick(form->ReCalcButton, Qt::LeftButton);
  EXPECT_EQ(form->ReadText(TextName::RecommendEdit), "656:496");
  EXPECT_EQ(form->ReadText(TextName::MinBitrateLabel), "Min Bitrate: 1626");
  EXPECT_EQ(form->ReadText(TextName::MaxBitrateLabel), "Max Bitrate: 4067");
  EXPECT_EQ(form->ReadText(TextName::QualityFactorLabel), "Quality factor:  0.246");
  EXPECT_EQ(form->ReadText(TextName::QualityVerdictLabel), "Quality is good");
  EXPECT_EQ(form->ReadText(TextName::InfoMemo), memo);
  EXPECT_EQ(form->ReadText(TextName::VideoFileEdit), "/nonexistent.avi");
}

TEST_F(MainFormTest, NewSizeJudgesTheTypedSize) {
  const auto form = Start(XvidFile);
  form->RecommendEdit->setText("720:576");
  QTest::mouseClick(form->NewSizeButton, Qt::LeftButton);
  EXPECT_EQ(form->ReadText(TextName::QualityVerdictLabel), "Quality is bad. change the size or the bitrate");
  EXPECT_EQ(form->ReadText(TextName::QualityFactorLabel), "Quality factor:  0.096");
  EXPECT_EQ(form->ReadText(TextName::RecommendEdit), "720:576");
  EXPECT_EQ(form->ReadText(TextName::MinBitrateLabel), "Min Bitrate: 816");
}

TEST_F(MainFormTest, ArithmeticErrorShowsAWarningAndTheWindowStaysUsable) {
  const auto form = Start();
  form->PlayTimeEdit->setText("5400");
  form->FrameRateEdit->setText("25");
  form->RecommendEdit->setText("720x576");  // no ":": the height reads 0
  QTest::mouseClick(form->NewSizeButton, Qt::LeftButton);

  // The message is the calculation's own, word for word.
  ::framefit::MediaState state;
  MemoryTexts texts;
  texts.WriteText(TextName::BitrateEdit, "1000");
  texts.WriteText(TextName::PlayTimeEdit, "5400");
  texts.WriteText(TextName::FrameRateEdit, "25");
  texts.WriteText(TextName::RecommendEdit, "720x576");
  std::string expected;
  try {
    CheckNewSize(state, texts);
  } catch (const ArithmeticError& error) {
    expected = error.what();
  }
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, expected);
  EXPECT_EQ(dialogs_.messages[0].caption, WindowCaption);
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(form->ReadText(TextName::QualityVerdictLabel), "");
  EXPECT_EQ(form->MediaState.PlayTimeSeconds, 5400);  // taken from the box before the failing step

  form->RecommendEdit->setText("720:576");
  QTest::mouseClick(form->NewSizeButton, Qt::LeftButton);
  EXPECT_EQ(form->ReadText(TextName::QualityFactorLabel), "Quality factor:  0.096");
  EXPECT_EQ(form->ReadText(TextName::QualityVerdictLabel), "Quality is bad. change the size or the bitrate");
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_F(MainFormTest, AboutShowsFourLinesUnderTheWindowCaptionWithoutIcon) {
  const auto form = Start();
  QTest::mouseClick(form->AboutButton, Qt::LeftButton);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].caption, "Calc the best size for XviD 1.1");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Copyright (C) 2026 the framefit authors\r\n"
            "This program calculate the best size for the bitrate\r\n"
            "Visit my Site: " FRAMEFIT_HOME_PAGE "\r\n" FRAMEFIT_ISSUES_PAGE);
}

TEST_F(MainFormTest, CloseEndsTheMessageLoopAfterTheClickReturns) {
  const auto form = Start();
  form->Window->show();
  QTest::mouseClick(form->CloseButton, Qt::LeftButton);
  EXPECT_TRUE(form->Window->isVisible());  // the request is posted

  QTimer watchdog;  // a loop that does not end fails instead of hanging
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  watchdog.start(10000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(form->Window->isVisible());
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace framefit

#include "controls.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>

namespace framefit {
namespace {

// Positions count from the parent's client area, which for a framed parent starts inside its edge.
void Place(QWidget* control, QWidget* parent, int x, int y, int width, int height) {
  control->setGeometry(QRect(parent->contentsRect().topLeft() + QPoint(x, y), QSize(width, height)));
}

QLabel* MakeLabel(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

QFont WindowFont() {
  QFont font = QFontDatabase::families().contains(QStringLiteral("MS Sans Serif"))
                   ? QFont(QStringLiteral("MS Sans Serif"))
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  int best_size = 1;
  int best_distance = -1;
  for (int pixel_size = 1; pixel_size <= 4 * WindowFontHeight; ++pixel_size) {
    font.setPixelSize(pixel_size);
    const int distance = std::abs(QFontMetrics(font).height() - WindowFontHeight);
    if (best_distance < 0 || distance < best_distance) {
      best_size = pixel_size;
      best_distance = distance;
    }
  }
  font.setPixelSize(best_size);
  return font;
}

QString ToDisplayText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QLabel* CreateLabel(QWidget* parent, const QString& text, int x, int y, int width, int height) {
  QLabel* label = MakeLabel(parent, text);
  Place(label, parent, x, y, width, height);
  return label;
}

QLabel* CreateAutoSizeLabel(QWidget* parent, const QString& text, int x, int y) {
  QLabel* label = MakeLabel(parent, text);
  const QFontMetrics metrics(label->font());
  Place(label, parent, x, y, metrics.horizontalAdvance(text) + 1, metrics.height() + 1);
  return label;
}

QLabel* CreateVerdictLabel(QWidget* parent, int x, int y, int width, int height) {
  QLabel* label = MakeLabel(parent, QString());
  label->setFrameStyle(QFrame::Box | QFrame::Plain);
  label->setLineWidth(1);
  label->setForegroundRole(QPalette::WindowText);
  label->setBackgroundRole(QPalette::Window);
  label->setAutoFillBackground(true);
  Place(label, parent, x, y, width, height);
  return label;
}

QLineEdit* CreateEdit(QWidget* parent, const QString& text, int x, int y, int width, int height) {
  auto* edit = new QLineEdit(text, parent);
  Place(edit, parent, x, y, width, height);
  return edit;
}

QPlainTextEdit* CreateReadOnlyMemo(QWidget* parent, int x, int y, int width, int height) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setReadOnly(true);
  memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  Place(memo, parent, x, y, width, height);
  return memo;
}

QPushButton* CreateButton(QWidget* parent, const QString& text, int x, int y, int width, int height) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  Place(button, parent, x, y, width, height);
  return button;
}

QFrame* CreateSunkenPanel(QWidget* parent, int x, int y, int width, int height) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  Place(panel, parent, x, y, width, height);
  return panel;
}

}  // namespace framefit

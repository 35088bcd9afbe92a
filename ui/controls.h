#pragma once

// The kinds of control the window is built from, each with its look and its size when none is
// given. Positions are relative to the parent's client area (inside a panel's edge); sizes are
// outer sizes, border included. No layouts: a control stays where it is put.

#include <QFont>
#include <QString>
#include <string_view>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace framefit {

inline constexpr int LabelWidth = 64;
inline constexpr int LabelHeight = 22;
inline constexpr int EditWidth = 100;
inline constexpr int EditHeight = 22;
inline constexpr int ButtonWidth = 64;
inline constexpr int ButtonHeight = 22;
inline constexpr int WindowFontHeight = 10;  // cell height in pixels (ascent + descent)

// "MS Sans Serif" where installed, else the platform's sans-serif, at the pixel size whose
// QFontMetrics::height() is 10 (or the nearest to it, the smaller size on a tie).
QFont WindowFont();

// The program's texts end lines in CR LF; the toolkit wants LF alone. "a\r\nb" -> "a\nb".
QString ToDisplayText(std::string_view text);

// One line from the top left corner, cut off at the right edge, no border, parent's background.
QLabel* CreateLabel(QWidget* parent, const QString& text, int x, int y, int width = LabelWidth,
                    int height = LabelHeight);
// A label sized once from its caption: text width + 1 by text height + 1.
QLabel* CreateAutoSizeLabel(QWidget* parent, const QString& text, int x, int y);
// Top-left text in the window-text colour over the parent's colour, inside a flat 1-pixel border.
QLabel* CreateVerdictLabel(QWidget* parent, int x, int y, int width, int height);
// Editable, one line, scrolls sideways, sunken edge, on the window background colour.
QLineEdit* CreateEdit(QWidget* parent, const QString& text, int x, int y, int width = EditWidth,
                      int height = EditHeight);
// Read-only yet selectable and copyable, no line wrap, both scroll bars always shown.
QPlainTextEdit* CreateReadOnlyMemo(QWidget* parent, int x, int y, int width, int height);
QPushButton* CreateButton(QWidget* parent, const QString& text, int x, int y, int width = ButtonWidth,
                          int height = ButtonHeight);
// A captionless container with a thin sunken edge; its controls sit inside the edge.
QFrame* CreateSunkenPanel(QWidget* parent, int x, int y, int width, int height);

}  // namespace framefit

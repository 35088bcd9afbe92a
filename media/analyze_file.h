#pragma once

// One pass over the file named in VideoFileEdit with the media library: the first video stream's
// width, height, frame rate and aspect ratio and the file's play time go into MediaState, the
// play-time and frame-rate boxes are filled, and InfoMemo gets the file summary.

#include <string>
#include <string_view>

#include "media_library.h"
#include "media_state.h"
#include "named_texts.h"

namespace framefit {

// A summary line is its text followed by CR LF: SummaryLine("Container: AVI") -> "Container: AVI\r\n".
std::string SummaryLine(std::string_view text);

// Empties InfoMemo, opens the file and reads Width, Height and FrameRate of the video stream into
// WidthText, HeightText and FrameRateText. Without a width or a height, or with a height that reads
// 0, it stops there ("early stop"): FrameRatio becomes 0.0, the handle is closed and deleted, and
// nothing else is written. Otherwise ("full run"):
// - FrameRatio = width / height (720x576 -> 1.25).
// - DisplayRatio = the video "AspectRatio" read as a decimal, "16/9" taken as 1.77778 and "4/3" as
//   1.33333 ("2.35:1" -> 2.35, "5/4" -> 5); without one, DisplayRatio = FrameRatio.
// - PlayTimeEdit = the general "PlayTime" in whole seconds ("5400999.5" ms -> "5400", "999" -> "0",
//   none -> empty) and PlayTimeSeconds the same number (0 when there is none, so an earlier file's
//   play time never stays behind).
// - InfoMemo = up to nine summary lines, each appended right after the library call that feeds it:
//     Audio Codec: <v>            when given
//     Audio Bitrate: <v>          "BitRate/String", else "BitRate"; when given
//      Playtime:   hh:mm:ss       hours as many as needed (90061 s -> 25:01:01); without a
//                                 play time "  Playtime: n/a"
//     Container: <v>              when given
//     Codec: <v>                  video codec, when given
//     Aspect Ratio: <v>           "16/9" shown as 16:9, "4/3" as 4:3; when given
//     Width and Height:<w>x<h>
//     Frame: <frame rate>         when given; FrameRateEdit then gets it too (else it keeps its text)
//     Video Bitrate: <v>          "BitRate/String", else "Bitrate"; always, empty or not
// A VideoFileEdit text that is not valid UTF-8 ends in the early stop without any library call and
// with the three texts emptied, as the library answers for a file it cannot open.
// The library calls, in order: New, Option("Legacy", "1") (codec names need it before opening),
// Open, Option("Complete", ""), Inform, Option("Complete", "1"), Option("Inform",
// "General;Width=%Width%"), Inform, then the queries; finally Close and Delete.
void AnalyzeFile(MediaLibrary& library, MediaState& state, NamedTexts& texts);

}  // namespace framefit

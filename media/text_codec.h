#pragma once

// The program's texts are UTF-8; the media library takes and gives wide characters (wchar_t,
// UTF-32 on Linux). Conversion goes through the C library in the current LC_CTYPE, which is also
// what the media library uses to turn a wide file name back into bytes for the file system.

#include <optional>
#include <string>
#include <string_view>

namespace framefit {

// Sets LC_CTYPE to the environment's locale when its codeset is UTF-8, otherwise to "C.UTF-8"
// (so a UTF-8 file name converts even with LANG unset), and LC_NUMERIC to "C". Both programs
// call it first thing.
void SetUpTextLocale();

// UTF-8 -> wide characters in the current LC_CTYPE. ToWide("Über") -> L"Über";
// a byte sequence that is not valid text -> nullopt.
std::optional<std::wstring> ToWide(std::string_view text);

// Wide characters -> UTF-8 in the current LC_CTYPE; a character that cannot be written becomes "?".
std::string FromWide(std::wstring_view text);

}  // namespace framefit

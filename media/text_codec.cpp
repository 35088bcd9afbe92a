#include "text_codec.h"

#include <langinfo.h>

#include <climits>
#include <clocale>
#include <cstring>
#include <cwchar>

namespace framefit {

void SetUpTextLocale() {
  const char* chosen = std::setlocale(LC_CTYPE, "");
  if (chosen == nullptr || std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
  }
  // Numbers in texts always use "." whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");
}

std::optional<std::wstring> ToWide(std::string_view text) {
  std::wstring wide;
  std::mbstate_t state{};
  std::size_t position = 0;
  while (position < text.size()) {
    wchar_t character = 0;
    const std::size_t used = std::mbrtowc(&character, text.data() + position, text.size() - position, &state);
    if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
      return std::nullopt;  // an invalid sequence, or one cut off at the end
    }
    wide.push_back(character);
    position += used == 0 ? 1 : used;  // 0: an embedded null character, one byte long
  }
  return wide;
}

std::string FromWide(std::wstring_view text) {
  std::string narrow;
  std::mbstate_t state{};
  char buffer[MB_LEN_MAX];
  for (const wchar_t character : text) {
    const std::size_t length = std::wcrtomb(buffer, character, &state);
    if (length == static_cast<std::size_t>(-1)) {
      narrow.push_back('?');
      state = std::mbstate_t{};
    } else {
      narrow.append(buffer, length);
    }
  }
  return narrow;
}

}  // namespace framefit

#include "media_library.h"

// The static-linking variant of the library's header declares its exported C functions; the
// default header would load the library at run time instead. UNICODE selects the wide calls
// under the MediaInfo_ names.
#ifndef UNICODE
#define UNICODE
#endif
#include <MediaInfoDLL/MediaInfoDLL_Static.h>

namespace framefit {
namespace {

constexpr MediaInfo_info_C kInfoText = MediaInfo_Info_Text;
constexpr MediaInfo_info_C kSearchByName = MediaInfo_Info_Name;

MediaInfo_stream_C ToStream(StreamKind kind) { return static_cast<MediaInfo_stream_C>(kind); }

class MediainfoLibrary final : public MediaLibrary {
 public:
  Handle New() override { return MediaInfo_New(); }
  void Open(Handle handle, const std::wstring& file_name) override {
    MediaInfo_Open(handle, file_name.c_str());
  }
  void Option(const std::wstring& name, const std::wstring& value) override {
    MediaInfo_Option(nullptr, name.c_str(), value.c_str());
  }
  void Inform(Handle handle) override { MediaInfo_Inform(handle, 0); }
  std::wstring Get(Handle handle, StreamKind kind, const std::wstring& parameter) override {
    const wchar_t* result = MediaInfo_Get(handle, ToStream(kind), 0, parameter.c_str(), kInfoText, kSearchByName);
    return result != nullptr ? std::wstring(result) : std::wstring();
  }
  std::string GetA(Handle handle, StreamKind kind, const std::string& parameter) override {
    const char* result = MediaInfoA_Get(handle, ToStream(kind), 0, parameter.c_str(), kInfoText, kSearchByName);
    return result != nullptr ? std::string(result) : std::string();
  }
  void Close(Handle handle) override { MediaInfo_Close(handle); }
  void Delete(Handle handle) override { MediaInfo_Delete(handle); }
};

}  // namespace

MediaLibrary& SystemMediaLibrary() {
  static MediainfoLibrary library;
  return library;
}

}  // namespace framefit

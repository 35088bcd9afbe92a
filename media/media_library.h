#pragma once

#include <string>

namespace framefit {

// Stream kinds as the library numbers them; an analysis reads stream 0 of each.
enum class StreamKind { General = 0, Video = 1, Audio = 2 };

// The calls of the library's C interface that an analysis makes. Every result is copied into the
// program's own text before the call returns, since the library reuses its result memory.
// A test can put a scripted library in its place.
class MediaLibrary {
 public:
  using Handle = void*;
  virtual ~MediaLibrary() = default;
  virtual Handle New() = 0;                                             // MediaInfo_New
  virtual void Open(Handle handle, const std::wstring& file_name) = 0;  // MediaInfo_Open (result not examined)
  virtual void Option(const std::wstring& name, const std::wstring& value) = 0;  // MediaInfo_Option, null handle
  virtual void Inform(Handle handle) = 0;  // MediaInfo_Inform(handle, 0), result unused
  // MediaInfo_Get, stream 0, info 1 (text), search 0 (by name); a null result gives empty text.
  virtual std::wstring Get(Handle handle, StreamKind kind, const std::wstring& parameter) = 0;
  // MediaInfoA_Get, the same with 8-bit text.
  virtual std::string GetA(Handle handle, StreamKind kind, const std::string& parameter) = 0;
  virtual void Close(Handle handle) = 0;   // MediaInfo_Close
  virtual void Delete(Handle handle) = 0;  // MediaInfo_Delete
};

// The real library, linked at build time (bound when the process loads).
MediaLibrary& SystemMediaLibrary();

}  // namespace framefit

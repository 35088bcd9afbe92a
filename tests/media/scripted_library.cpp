#include "scripted_library.h"

#include <optional>
#include <stdexcept>

#include "text_codec.h"

namespace framefit {
namespace {

const char* KindName(StreamKind kind) {
  switch (kind) {
    case StreamKind::General: return "General";
    case StreamKind::Video: return "Video";
    case StreamKind::Audio: return "Audio";
  }
  return "?";
}

}  // namespace

MediaLibrary::Handle ScriptedLibrary::New() {
  calls_.push_back("New");
  return &handle_target_;
}

void ScriptedLibrary::Open(Handle handle, const std::wstring& file_name) {
  Record(handle, "Open " + FromWide(file_name));
}

void ScriptedLibrary::Option(const std::wstring& name, const std::wstring& value) {
  calls_.push_back("Option " + FromWide(name) + "=" + FromWide(value));
}

void ScriptedLibrary::Inform(Handle handle) { Record(handle, "Inform"); }

std::wstring ScriptedLibrary::Get(Handle handle, StreamKind kind, const std::wstring& parameter) {
  const std::string name = FromWide(parameter);
  Record(handle, std::string("Get ") + KindName(kind) + " " + name);
  const std::string answer = Answer(kind, name);
  std::optional<std::wstring> wide = ToWide(answer);
  if (!wide) throw std::invalid_argument("scripted answer is not text in this locale: " + answer);
  return *wide;
}

std::string ScriptedLibrary::GetA(Handle handle, StreamKind kind, const std::string& parameter) {
  Record(handle, std::string("GetA ") + KindName(kind) + " " + parameter);
  return Answer(kind, parameter);
}

void ScriptedLibrary::Close(Handle handle) { Record(handle, "Close"); }

void ScriptedLibrary::Delete(Handle handle) { Record(handle, "Delete"); }

void ScriptedLibrary::Record(Handle handle, std::string call) {
  if (handle != &handle_target_) call += " (wrong handle)";
  calls_.push_back(std::move(call));
}

std::string ScriptedLibrary::Answer(StreamKind kind, const std::string& parameter) const {
  const auto found = answers_.find({kind, parameter});
  return found != answers_.end() ? found->second : std::string();
}

}  // namespace framefit

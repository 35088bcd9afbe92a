#pragma once

// A media library for tests and fuzzers: it answers queries from a table and records every call.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "media_library.h"

namespace framefit {

class ScriptedLibrary final : public MediaLibrary {
 public:
  // Answers of Get and GetA by stream kind and parameter name, as UTF-8; a query not in the table
  // answers empty text, as the real library does for a value the file lacks.
  using Answers = std::map<std::pair<StreamKind, std::string>, std::string>;

  explicit ScriptedLibrary(Answers answers = {}) : answers_(std::move(answers)) {}

  // Every call so far, in order: "New", "Option Legacy=1", "Open /a/b.avi", "Inform",
  // "Get Video Width", "GetA Video AspectRatio", "Close", "Delete". A call given a handle other
  // than the one New returned ends in " (wrong handle)".
  const std::vector<std::string>& Calls() const { return calls_; }
  // Puts an event of the test's own (a write to a box, say) into the same record.
  void Note(std::string event) { calls_.push_back(std::move(event)); }

  Handle New() override;
  void Open(Handle handle, const std::wstring& file_name) override;
  void Option(const std::wstring& name, const std::wstring& value) override;
  void Inform(Handle handle) override;
  // Throws std::invalid_argument when the answer is not valid text in the current locale.
  std::wstring Get(Handle handle, StreamKind kind, const std::wstring& parameter) override;
  std::string GetA(Handle handle, StreamKind kind, const std::string& parameter) override;
  void Close(Handle handle) override;
  void Delete(Handle handle) override;

 private:
  void Record(Handle handle, std::string call);
  std::string Answer(StreamKind kind, const std::string& parameter) const;

  Answers answers_;
  std::vector<std::string> calls_;
  int handle_target_ = 0;  // New hands out its address
};

}  // namespace framefit

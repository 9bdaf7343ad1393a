#include "tools/dispatcher/core/log_files.h"

namespace wl::dispatcher {
namespace {

constexpr std::string_view kLogSuffix = ".log";

bool EndsWithLog(std::string_view path) {
  return path.size() >= kLogSuffix.size() &&
         path.substr(path.size() - kLogSuffix.size()) == kLogSuffix;
}

std::string_view Stem(std::string_view path) {
  return EndsWithLog(path) ? path.substr(0, path.size() - kLogSuffix.size()) : path;
}

}  // namespace

AppendFile::AppendFile(const std::string& path) : file_(std::fopen(path.c_str(), "ab")) {}

bool AppendFile::Write(std::string_view bytes) {
  if (!file_) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
  return std::fflush(file_.get()) == 0 && written;
}

LogSink::LogSink(const std::string& textPath, bool withJson) : text_(textPath) {
  if (withJson) json_ = std::make_unique<AppendFile>(JsonPathFor(textPath));
}

bool LogSink::ok() const { return text_.ok() && (!json_ || json_->ok()); }

void LogSink::Write(const Record& r) {
  if (!text_.Write(FormatText(r))) ++failures_;
  if (json_ && !json_->Write(FormatJson(r))) ++failures_;
}

std::string JsonPathFor(std::string_view textPath) {
  return std::string(Stem(textPath)) + ".jsonl";
}

std::string DestinationLogPath(std::string_view mainTextPath, std::string_view key) {
  return std::string(Stem(mainTextPath)) + "." + std::string(key) + std::string(kLogSuffix);
}

DestinationSinkFactory LogFactoryBeside(std::string mainTextPath, bool withJson) {
  return [mainTextPath = std::move(mainTextPath),
          withJson](const std::string& key) -> std::unique_ptr<Sink> {
    auto sink = std::make_unique<LogSink>(DestinationLogPath(mainTextPath, key), withJson);
    if (!sink->ok()) return nullptr;
    return sink;
  };
}

}  // namespace wl::dispatcher

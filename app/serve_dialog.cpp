#include "app/serve_dialog.h"

using nlohmann::json;

BOOL ModalFileDialog::Ask(const OpenFileRequest& request, std::string& path) {
  std::unique_lock lock(mutex_);
  request_ = request;
  open_ = true;
  answered_ = false;
  answer_.reset();
  changed_.notify_all();
  changed_.wait_for(lock, timeout, [this] { return answered_; });
  open_ = false;
  changed_.notify_all();
  if (!answered_ || !answer_) return FALSE;
  path = *answer_;
  return TRUE;
}

bool ModalFileDialog::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_ && !answered_;
}

json ModalFileDialog::Describe() const {
  std::lock_guard lock(mutex_);
  // The filter comes as "Description|pattern|Description|pattern".
  json filters = json::array();
  const std::string& f = request_.filter;
  std::size_t at = 0;
  std::vector<std::string> parts;
  while (at <= f.size()) {
    const std::size_t bar = f.find('|', at);
    parts.push_back(f.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
    if (bar == std::string::npos) break;
    at = bar + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    filters.push_back({{"name", parts[i]}, {"pattern", parts[i + 1]}});
  return {{"title", request_.title}, {"filters", filters}, {"flags", request_.flags}, {"maxPath", request_.max_file}};
}

bool ModalFileDialog::Answer(std::optional<std::string> path) {
  std::lock_guard lock(mutex_);
  if (!open_ || answered_) return false;
  answer_ = std::move(path);
  answered_ = true;
  changed_.notify_all();
  return true;
}

bool ModalFileDialog::WaitOpen(std::chrono::milliseconds wait) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, wait, [this] { return open_ && !answered_; });
}

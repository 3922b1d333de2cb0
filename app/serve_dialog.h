// The file-open dialog a panel procedure opens, asked of the person at the browser. As on the
// desktop the dialog is modal: the procedure waits on the host thread until the person picks a
// file or cancels, and the page answers through its own request.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "sdk/ui.h"

class ModalFileDialog {
 public:
  // Host thread (installed as the SDK's OpenFileHandler): shows the request and waits for the
  // answer; FALSE (cancel) when the person cancels or nobody answers within `timeout`.
  BOOL Ask(const OpenFileRequest& request, std::string& path);

  // Request threads.
  bool IsOpen() const;
  // The open dialog: title, filter pairs, flags, and the longest path the procedure can take.
  nlohmann::json Describe() const;
  // Hands the person's choice (an absolute path, or nothing for cancel) to the waiting procedure;
  // false when no dialog is open.
  bool Answer(std::optional<std::string> path);
  // Waits up to `wait` for a dialog to open; true when one is open.
  bool WaitOpen(std::chrono::milliseconds wait) const;

  std::chrono::seconds timeout{600};

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool open_ = false;
  bool answered_ = false;
  OpenFileRequest request_;
  std::optional<std::string> answer_;
};

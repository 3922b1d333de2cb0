#include "sdk/ui.h"

#include <cstring>
#include <deque>
#include <utility>

#include "sdk/log.h"
#include "sdk/module.h"
#include "sdk/window.h"

namespace {
int g_common_inits = 0;
int g_custom_inits = 0;
std::deque<std::string> g_open_answers;
OpenFileRequest g_last_request;
OpenFileHandler g_open_handler;

HWND Child(HWND dlg, int id) {
  if (!dlg || id == IDC_STATIC) return nullptr;
  for (auto& c : dlg->children)
    if (c->id == id) return c.get();
  return nullptr;
}

bool IsButton(HWND w) { return w && (w->kind == ControlKind::kCheckBox || w->kind == ControlKind::kRadioButton); }

// Copies at most n-1 characters of text plus a terminator; returns the count.
int CopyOut(const std::string& text, LPSTR buf, int n) {
  if (!buf || n <= 0) return 0;
  size_t count = std::min(text.size(), static_cast<size_t>(n - 1));
  std::memcpy(buf, text.data(), count);
  buf[count] = '\0';
  return static_cast<int>(count);
}
}  // namespace

HWND GetDlgItem(HWND dlg, int id) { return Child(dlg, id); }

BOOL EnableWindow(HWND wnd, BOOL enable) {
  if (!wnd) return FALSE;
  BOOL was_disabled = !wnd->enabled;
  wnd->enabled = enable != FALSE;
  return was_disabled;
}

BOOL IsWindowEnabled(HWND wnd) { return wnd && wnd->enabled; }

UINT IsDlgButtonChecked(HWND dlg, int id) {
  HWND w = Child(dlg, id);
  return IsButton(w) && w->checked ? BST_CHECKED : BST_UNCHECKED;
}

BOOL CheckDlgButton(HWND dlg, int id, UINT check) {
  HWND w = Child(dlg, id);
  if (!IsButton(w)) return FALSE;
  w->checked = check == BST_CHECKED;
  return TRUE;
}

BOOL CheckRadioButton(HWND dlg, int first, int last, int check) {
  if (!dlg) return FALSE;
  for (auto& c : dlg->children)
    if (c->kind == ControlKind::kRadioButton && c->id >= first && c->id <= last) c->checked = c->id == check;
  return TRUE;
}

BOOL SetWindowTextA(HWND wnd, LPCSTR text) {
  if (!wnd) return FALSE;
  wnd->text = text ? text : "";
  return TRUE;
}

int GetWindowTextA(HWND wnd, LPSTR buf, int n) {
  if (!wnd) {
    CopyOut("", buf, n);
    return 0;
  }
  return CopyOut(wnd->text, buf, n);
}

BOOL SetDlgItemTextA(HWND dlg, int id, LPCSTR text) { return SetWindowTextA(Child(dlg, id), text); }

int LoadStringA(HINSTANCE module, UINT id, LPSTR buf, int n) {
  const char* s = module && module->resources ? module->resources->FindString(static_cast<int>(id)) : nullptr;
  return CopyOut(s ? s : "", buf, n);
}

HCURSOR LoadCursorA(HINSTANCE /*module*/, LPCSTR /*name*/) {
  static int cursor_token = 0;
  return &cursor_token;
}

void InitCommonControls() { ++g_common_inits; }
void InitCustomControls(HINSTANCE /*module*/) { ++g_custom_inits; }
int CommonControlsInitCount() { return g_common_inits; }
int CustomControlsInitCount() { return g_custom_inits; }

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) {
  if (!ofn) return FALSE;
  OpenFileRequest& r = g_last_request;
  r.title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
  r.initial_dir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
  r.flags = ofn->Flags;
  r.max_file = ofn->nMaxFile;
  r.filter.clear();
  // The filter is pairs of strings ended by an empty one.
  for (const char* p = ofn->lpstrFilter; p && *p; p += std::strlen(p) + 1) {
    if (!r.filter.empty()) r.filter += '|';
    r.filter += p;
  }
  ++r.count;
  std::string answer;
  if (g_open_handler) {
    if (!g_open_handler(r, answer)) return FALSE;
  } else {
    if (g_open_answers.empty()) return FALSE;
    answer = g_open_answers.front();
    g_open_answers.pop_front();
  }
  // A path that does not fit is refused rather than cut, as the system dialog does, and said.
  if (!ofn->lpstrFile || answer.size() + 1 > ofn->nMaxFile) {
    LogEntry(LogLevel::kError, "the file dialog cannot return '" + answer + "' (" + std::to_string(answer.size()) +
                                   " characters) to a caller that takes at most " +
                                   std::to_string(ofn->nMaxFile ? ofn->nMaxFile - 1 : 0));
    return FALSE;
  }
  std::memcpy(ofn->lpstrFile, answer.c_str(), answer.size() + 1);
  size_t slash = answer.find_last_of('/');
  size_t name = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = answer.find_last_of('.');
  ofn->nFileOffset = static_cast<WORD>(name);
  ofn->nFileExtension = static_cast<WORD>(dot == std::string::npos || dot < name ? answer.size() : dot + 1);
  return TRUE;
}

void FilterList::Append(const MCHAR* entry) {
  entries_ += entry ? entry : "";
  entries_ += '\0';
}

void QueueOpenFileAnswer(const std::string& path) { g_open_answers.push_back(path); }
void ClearOpenFileAnswers() { g_open_answers.clear(); }
const OpenFileRequest& LastOpenFileRequest() { return g_last_request; }
void SetOpenFileHandler(OpenFileHandler handler) { g_open_handler = std::move(handler); }

// The Windows dialog and system calls plug-ins make, on headless windows (sdk/window.h).
#pragma once
#include <functional>
#include <string>

#include "sdk/platform.h"

using HCURSOR = void*;

constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

// The control with that id on a page, or null.
HWND GetDlgItem(HWND dlg, int id);
// Enables or disables a window; returns TRUE when it was disabled before.
BOOL EnableWindow(HWND wnd, BOOL enable);
BOOL IsWindowEnabled(HWND wnd);
UINT IsDlgButtonChecked(HWND dlg, int id);
BOOL CheckDlgButton(HWND dlg, int id, UINT check);
// Checks `check` and unchecks the other radio buttons with ids first..last.
BOOL CheckRadioButton(HWND dlg, int first, int last, int check);
BOOL SetWindowTextA(HWND wnd, LPCSTR text);
// Copies at most n-1 characters plus a terminator; returns the count copied.
int GetWindowTextA(HWND wnd, LPSTR buf, int n);
BOOL SetDlgItemTextA(HWND dlg, int id, LPCSTR text);
#define SetWindowText SetWindowTextA
#define GetWindowText GetWindowTextA

// String id of the module's string table: copies at most n-1 characters plus a terminator into
// buf and returns the count; 0 (buf empty) when the module or the string is absent.
int LoadStringA(HINSTANCE module, UINT id, LPSTR buf, int n);
#define LoadString LoadStringA

// A cursor handle (headless: a token).
HCURSOR LoadCursorA(HINSTANCE module, LPCSTR name);
// Initialise the system's common controls and the host's custom controls.
void InitCommonControls();
void InitCustomControls(HINSTANCE module);
// How many times each was called (hosts and tests check the library entry point with them).
int CommonControlsInitCount();
int CustomControlsInitCount();

// The file-open dialog.
constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;
constexpr DWORD OFN_EX_NOPLACESBAR = 0x1;

struct OPENFILENAMEA {
  DWORD lStructSize = sizeof(OPENFILENAMEA);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCSTR lpstrFilter = nullptr;  // pairs of description and pattern, ended by two empty strings
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  LPSTR lpstrFile = nullptr;  // in: initial name; out: the chosen path
  DWORD nMaxFile = 0;         // size of lpstrFile, terminator included
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  void* lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
  void* pvReserved = nullptr;
  DWORD dwReserved = 0;
  DWORD FlagsEx = 0;
};
using OPENFILENAME = OPENFILENAMEA;

// The filter list of a file dialog: pairs of a description and a pattern ("Dat Files", "*.dat"),
// each entry ended by a terminator, the list by an empty entry.
class FilterList {
 public:
  // Adds one entry (an empty one ends the list).
  void Append(const MCHAR* entry);
  // The entries, ready for OPENFILENAMEA::lpstrFilter.
  operator const MCHAR*() const { return entries_.c_str(); }

 private:
  std::string entries_;
};

// Returns the next answer queued by QueueOpenFileAnswer, copied into lpstrFile; FALSE (cancel)
// when none is queued. An answer that does not fit the buffer is never cut: the dialog refuses it
// (FALSE, buffer untouched) and logs an error naming it (sdk/log.h).
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
#define GetOpenFileName GetOpenFileNameA

// Host side: scripted answers of the file-open dialog, and what the last dialog was asked.
void QueueOpenFileAnswer(const std::string& path);
void ClearOpenFileAnswers();
struct OpenFileRequest {
  std::string title;
  std::string initial_dir;  // empty: the host's default directory
  std::string filter;       // the filter pairs joined with '|'
  DWORD flags = 0;
  DWORD max_file = 0;  // the result buffer's size, terminator included
  int count = 0;       // how many dialogs were opened so far
};
const OpenFileRequest& LastOpenFileRequest();
// Host side: a host with a person to ask answers the file-open dialog itself. The handler gets
// the request and returns TRUE with the chosen path, or FALSE for a cancel; while one is set the
// queue is not used. An empty handler gives the dialog back to the queue.
using OpenFileHandler = std::function<BOOL(const OpenFileRequest& request, std::string& path)>;
void SetOpenFileHandler(OpenFileHandler handler);

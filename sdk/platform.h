// The Windows-flavoured base types and constants that plug-ins are written against.
#pragma once
#include <cstdint>
#include <string>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using MCHAR = char;
using TCHAR = char;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define _M(x) x
#define _T(x) x

// A loaded module (the host's record of a plug-in or of itself); opaque to plug-ins.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

// A headless window or control; see sdk/ui.h.
struct HWND__;
using HWND = HWND__*;

// Reasons passed to a library entry point.
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

// Window messages the host sends to dialog procedures.
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT CC_SPINNER_CHANGE = 1624;
constexpr UINT CC_SPINNER_BUTTONDOWN = 1625;
constexpr UINT CC_SPINNER_BUTTONUP = 1626;

inline WORD LOWORD(WPARAM w) { return static_cast<WORD>(w & 0xFFFF); }
inline WORD HIWORD(WPARAM w) { return static_cast<WORD>((w >> 16) & 0xFFFF); }

// A host string: owns its characters.
class CStr {
 public:
  CStr() = default;
  CStr(const char* s) : s_(s ? s : "") {}
  CStr(std::string s) : s_(std::move(s)) {}
  CStr& operator=(const char* s) {
    s_ = s ? s : "";
    return *this;
  }
  const char* data() const { return s_.c_str(); }
  operator const char*() const { return s_.c_str(); }
  int Length() const { return static_cast<int>(s_.size()); }
  const std::string& str() const { return s_; }
  bool operator==(const CStr& o) const { return s_ == o.s_; }

 private:
  std::string s_;
};
using MSTR = CStr;
using TSTR = CStr;

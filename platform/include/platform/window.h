// Message-only windows and synchronous messages between processes
// (WM_COPYDATA), with the message loop that answers them.
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
#define CALLBACK
#define WINAPI
typedef WORD ATOM;
typedef intptr_t LONG_PTR;
typedef void* HMENU;
typedef void* HCURSOR;
typedef void* HBRUSH;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef uintptr_t UINT_PTR;
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagPOINT {
  LONG x, y;
} POINT;

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *LPMSG;

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy, cx, y, x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA;

typedef struct tagCOPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  void* lpData;
} COPYDATASTRUCT, *PCOPYDATASTRUCT;

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_COPYDATA 0x004Au
#define WM_NCCREATE 0x0081u
#define WM_NCDESTROY 0x0082u
#define WM_TIMER 0x0113u
#define WM_USER 0x0400u
#define HWND_MESSAGE ((HWND)(intptr_t)-3)
#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define SMTO_NORMAL 0x0000u
#define SMTO_BLOCK 0x0001u
#define SMTO_ABORTIFHUNG 0x0002u
#define GWLP_USERDATA (-21)
#define MAKEINTATOM(i) ((LPCSTR)(uintptr_t)((WORD)(i)))
#define ERROR_TIMEOUT 1460L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L

// Class names compare case-insensitively, as on Windows.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
// Every window is message-only: position, size, style and parent are kept
// for WM_NCCREATE/WM_CREATE and otherwise ignored. The window belongs to the
// creating thread, which answers messages sent to it in its message loop.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

// Synchronous: returns the receiving window procedure's result. Only
// WM_COPYDATA carries data; other messages pass wParam and lParam as numbers.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeout, ULONG_PTR* result);
void PostQuitMessage(int exitCode);
// The window and message range filters are ignored.
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
// A window's timer: once its period has passed, and no posted message
// waits, the window's thread gets WM_TIMER (wParam the id) from
// GetMessageA/PeekMessageA; the next period starts then. Only windows of the
// calling thread and no timer procedures: `proc` must be null.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
#endif

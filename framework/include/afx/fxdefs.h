// Common definitions of the framework library: export macros, TRACE, ASSERT.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <tchar.h>

// Classes and functions of the framework DLL itself.
#ifdef VARNETFX_BUILD
#define FX_API __declspec(dllexport)
#else
#define FX_API __declspec(dllimport)
#endif

// Classes of an extension module: exported while the module is built
// (_AFXEXT defined), imported by the host.
#ifdef _AFXEXT
#define AFX_EXT_CLASS __declspec(dllexport)
#else
#define AFX_EXT_CLASS __declspec(dllimport)
#endif

// Writes a formatted line to the debugger output (debug builds only).
FX_API void AfxTrace(LPCSTR lpszFormat, ...);

// Reports a failed ASSERT and breaks into the debugger. Present in every
// build of the DLL, so that debug hosts link against a release framework.
FX_API void AfxAssertFailed(LPCSTR lpszFile, int nLine, LPCSTR lpszExpr);

#ifdef _DEBUG
#define TRACE ::AfxTrace
#define ASSERT(f) ((f) ? (void)0 : ::AfxAssertFailed(__FILE__, __LINE__, #f))
#else
#define TRACE(...) ((void)0)
#define ASSERT(f) ((void)0)
#endif

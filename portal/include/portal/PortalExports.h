#pragma once
// The C entry points of the portal libraries, as the client calls them. The
// libraries export these names with C linkage; the loaders resolve each one
// by name at run time. Shared by both sides so that a signature can never
// drift between caller and library.

#include <cstdint>

extern "C" {

// Run-parameter module (Common/Module/QXRunParamDLL).
typedef unsigned (*QXRunParamDLL_CreateData_t)(void** data);
typedef unsigned (*QXRunParamDLL_DeleteData_t)(void* data);
typedef unsigned (*QXRunParamDLL_Load_t)(void* data, const char* source, int flag);
typedef unsigned (*QXRunParamDLL_ExistsParam_t)(void* data, const char* name);
typedef unsigned (*QXRunParamDLL_GetParam_t)(void* data, const char* name, const char** value);
typedef unsigned (*QXRunParamDLL_GetRetCodeString_t)(unsigned code, char* out, unsigned outSize);

// Word filter (Common/BadFilterDLL).
typedef int (*InitBadChatMan_t)(const char* wordFile);
typedef int (*SetLevel_t)(int level);
typedef int (*IsBad_t)(const char* text);
typedef int (*IsBadToRep_t)(const char* text, char* out, int outSize, char replacement);

// Avatar renderer (Common/AvatarDisplay). A page is 16-bit pixels with
// `rowBytes` bytes per row.
typedef int (*InitAvatarDisplayDLL_t)(const char* commonDir);
typedef std::uintptr_t (*CreateAvatarResource_t)();
typedef int (*SetAvatar_t)(std::uintptr_t handle, const unsigned char* description);
typedef int (*SetAvatarSize_t)(std::uintptr_t handle, int width, int height);
typedef int (*SetAvatarOffset_t)(std::uintptr_t handle, int x, int y);
typedef int (*SetAvatarAnimationTime_t)(std::uintptr_t handle, int milliseconds);
typedef int (*DrawAvatarToMemory_t)(int x, int y, std::uintptr_t handle, int pageWidth, int pageHeight,
                                    std::uint16_t* pixels, int rowBytes, int mirror, int rgb555);
typedef int (*DestroyAvatarResource_t)(std::uintptr_t handle);

// Web banner (Common/QXWebBanner).
typedef int (*OpenWebBanner_t)(void* window, int site, const char* productCode, int kind);

// Embedded browser with single sign-on (Common/Module/SSOWebDLL32).
typedef void (*SSO_OnBeforeNavigate2_t)(const char* url, int flags, const char* targetFrame, const void* postData,
                                        int postDataSize, const char* headers, int* cancel);
typedef void (*SSO_OnQuit_t)();
typedef int (*SSOWebNEW_Initialize_t)(void* mainWindow, const char* authCookie, const char* dataCookie,
                                      const char* cpCookie, int site);
typedef int (*SSOWebNEW_UnInitialize_t)();
typedef void* (*SSOWebNEW_Create_t)(unsigned style, const int* rect, void* parent, int childId, void* external);
typedef int (*SSOWebNEW_NavigateCorvanta_t)(void* browser, const char* url);
typedef int (*SSOWebNEW_ExecJavascript_t)(void* browser, const char* script);
typedef int (*SSOWebNEW_ResetUserNavigatedCount_t)(void* browser);
typedef int (*SSOWebNEW_SetCallback_OnBeforeNavigate2_t)(void* browser, SSO_OnBeforeNavigate2_t callback);
typedef int (*SSOWebNEW_SetCallback_OnQuit_t)(void* browser, SSO_OnQuit_t callback);
typedef int (*SSOWebNEW_Release_t)(void* browser);
typedef const char* (*SSOWeb_GetActCookieURL_t)();
typedef const char* (*SSOWeb_GetCookieDomain_t)();

// The browser's page in the client's own windows. The library draws its
// pages offscreen; the client pumps it from its event loop, copies a
// page's pixels into its window and hands the window's input over. Where
// the library cannot draw pages (no web engine installed, no display) it
// opens them in the system browser instead and IsEmbedded answers 0.
//
// `external` of SSOWebNEW_Create may point to this record: the page's
// script then finds window.external with the named methods, and a call
// reaches `call` from SSOWebNEW_Pump (never from inside the engine), so
// the client may run a modal window there. The record is copied.
typedef void (*SSO_ExternalCall_t)(void* context, const char* method);
struct SSO_External {
  const char* methods;  // names separated by ","
  SSO_ExternalCall_t call;
  void* context;
};
// Runs the engine's pending work without waiting, then the quit and
// external callbacks it queued; 1 when anything ran.
typedef int (*SSOWebNEW_Pump_t)();
// 1 when the browser's page is drawn for the client, 0 when its pages open
// in the system browser.
typedef int (*SSOWebNEW_IsEmbedded_t)(void* browser);
// Copies the page as RGB555 into the client's pixels (the part that fits);
// 1 when new pixels were copied, 0 when the page is unchanged since the
// last copy, -1 when there is no drawn page.
typedef int (*SSOWebNEW_CopyPixels_t)(void* browser, std::uint16_t* pixels, int width, int height, int rowBytes);
typedef int (*SSOWebNEW_SetVisible_t)(void* browser, int visible);
// kind: 0 move, 1 press, 2 release, 3 double press, 4 wheel (button > 0
// away from the user, < 0 towards), 5 the pointer left the page; button 1
// left, 3 right; (x, y) in the page; modifiers SSO_MOD_*.
typedef int (*SSOWebNEW_Mouse_t)(void* browser, int kind, int x, int y, int button, unsigned modifiers);
// A key by its client virtual-key code; characters come as text.
typedef int (*SSOWebNEW_Key_t)(void* browser, int down, unsigned virtualKey, unsigned modifiers);
typedef int (*SSOWebNEW_Text_t)(void* browser, const char* utf8);
typedef int (*SSOWebNEW_Focus_t)(void* browser, int focused);
// The address the page shows, zero-terminated into `out`; its length, or
// -1 when there is no drawn page.
typedef int (*SSOWebNEW_GetLocation_t)(void* browser, char* out, int outSize);
// Drawn pages alive in this process (the engine's processes go with the last).
typedef int (*SSOWebNEW_PageCount_t)();
enum : unsigned {
  SSO_MOD_SHIFT = 0x1,
  SSO_MOD_CONTROL = 0x2,
  SSO_MOD_ALT = 0x4,
  SSO_MOD_LEFT_HELD = 0x100,
  SSO_MOD_RIGHT_HELD = 0x400,
};

}  // extern "C"

// Marks a library's exported entry points (the libraries are built with
// hidden visibility so that nothing else leaks out).
#define TOVRIK_PORTAL_EXPORT extern "C" __attribute__((visibility("default")))

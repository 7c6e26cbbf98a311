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

}  // extern "C"

// Marks a library's exported entry points (the libraries are built with
// hidden visibility so that nothing else leaks out).
#define TOVRIK_PORTAL_EXPORT extern "C" __attribute__((visibility("default")))

// Helpers over the display objects: descriptions, creation and release,
// picture loading, and colour conversion for colour keys.
#pragma once

#include "platform/Display.h"
#include "platform/Window.h"

void DDSD_Clear(SurfaceDesc* desc);
void DDSD_PrimarySurface(SurfaceDesc* desc);
void DDSD_PrimarySurfaceWBackBuffer(SurfaceDesc* desc, unsigned long count);
void DDSD_OffscreenSurface(SurfaceDesc* desc, unsigned long width, unsigned long height);
void DDSCAPS_Clear(SurfaceCaps* caps);
void DDSCAPS_BackBuffer(SurfaceCaps* caps);
void DDBLTFX_Clear(BltFx* fx);
void DDBLTFX_ColorFill(BltFx* fx, unsigned long colour);
void DDPF_Clear(PixelFormat* format);

// The full-screen display for the window; null when there is none.
Display* LPDD_Create(HWND window);
void LPDD_Release(Display** dd);

Surface* LPDDS_CreatePrimary(Display* dd, unsigned long backBufferCount);
Surface* LPDDS_GetSecondary(Surface* primary);
Surface* LPDDS_CreateOffscreen(Display* dd, unsigned long width, unsigned long height);
// The picture at its own size; null (and a warning in the log) when the file
// is missing or not a bitmap.
Surface* LPDDS_LoadFromFile(Display* dd, const char* path);
void LPDDS_Release(Surface** surface);
void LPDDS_SetSrcColorKey(Surface* surface, unsigned long key);

unsigned long ConvertColorRef(unsigned long rgb, const PixelFormat* format);
unsigned long ConvertDDColor(unsigned long pixel, const PixelFormat* format);

Clipper* LPDDCLIP_Create(Display* dd, const RECT* region);
void LPDDCLIP_Release(Clipper** clipper);

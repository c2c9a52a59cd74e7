#include "Display.h"

#include "Clock.h"
#include "System.h"
#include "Text.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static Display* currentDisplay = nullptr;
static uint64_t framesShown = 0;

// bench/idle times the start-up to the first picture on screen: asked to,
// the moment (wall-clock nanoseconds) and the processor time spent until then
// are written to standard error.
static void MarkFirstFrame()
{
    static bool marked = false;
    if (marked || !std::getenv("ORTELANKA_MARK_FIRST_FRAME"))
        return;
    marked = true;
    using namespace std::chrono;
    const auto now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "first frame %lld after %lld ns of processor time\n", static_cast<long long>(now),
                 static_cast<long long>(System::ProcessorNanoseconds()));
}

// Mesa's software rasterisers: "accelerated" only by name.
static bool IsSoftwareGL(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    using GetString = const unsigned char* (*)(unsigned);
    const auto glGetString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned GL_RENDERER = 0x1F01;
    const char* name = glGetString ? reinterpret_cast<const char*>(glGetString(GL_RENDERER)) : nullptr;
    return name && (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe") ||
                    std::strstr(name, "Software Rasterizer"));
}

// The GPU's renderer; SDL's own software renderer where GL would only
// rasterise in software (which draws the same picture at a fraction of the
// cost, memory and start-up time) or cannot be had at all. Then SDL must not
// put the window's pixels through GL either.
static SDL_Renderer* CreateRenderer(SDL_Window* window)
{
    if (System::HasGpu()) {
        SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
        if (renderer && !(System::kReplacesSoftwareGL && IsSoftwareGL(renderer)))
            return renderer;
        if (renderer)
            SDL_DestroyRenderer(renderer);
        else
            std::fprintf(stderr, "no GL renderer (%s): drawing in software\n", SDL_GetError());
    }
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr uint32_t kNoteMilliseconds = 1500;

// Whether SDL_VIDEODRIVER (a comma-separated list) names the driver.
bool Requested(const char* driver)
{
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    if (!wanted)
        return false;
    const std::string list = std::string(",") + wanted + ",";
    return list.find(std::string(",") + driver + ",") != std::string::npos;
}

// Why the display could not be set up, the last time it could not.
std::string problem;

bool Invisible(const char* driver)
{
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// The video subsystem on a real display, or on an invisible driver that was asked for.
bool StartVideo()
{
    // A double click needs its second press within a few pixels of the first,
    // as on Windows; SDL's default of 32 pixels swallows quick clicks on
    // neighbouring cells.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "4");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        problem = SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (Invisible(driver) && !Requested(driver)) {
        problem = std::string("no display, only SDL's invisible driver ") + driver;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    problem.clear();
    return true;
}

// Without a window manager nobody makes a full-screen window as large as the
// screen, so the window is given the screen's size and place itself.
void CoverScreen(SDL_Window* window)
{
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &screen) != 0)
        return;
    SDL_SetWindowPosition(window, screen.x, screen.y);
    SDL_SetWindowSize(window, screen.w, screen.h);
}

}  // namespace

bool DisplayAvailable()
{
    static bool videoHeld = false;
    if (videoHeld)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoHeld = StartVideo();
    return videoHeld;
}

const std::string& DisplayProblem()
{
    return problem;
}

bool DisplayThere()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    // SDL left to choose for itself, whatever SDL_VIDEODRIVER says (an empty
    // name is SDL's own order); a driver that finds a display and fails to
    // set it up counts too.
    const bool started = SDL_VideoInit("") == 0;
    const bool there = !started || !Invisible(SDL_GetCurrentVideoDriver());
    if (started)
        SDL_VideoQuit();
    return there;
}

Display* Display::Create(const char* title, const WindowPlacement& placement)
{
    if (!StartVideo())
        return nullptr;
    Display* display = new Display;
    // A page scales its canvas to fit; a full-screen request there would wait
    // for the player's next click and take the whole screen then.
    const bool fullScreen = placement.fullScreen && System::kOwnWindow;
    const uint32_t resizable = System::kOwnWindow ? SDL_WINDOW_RESIZABLE : 0;
    display->fullScreen = fullScreen;
    // Nothing can be read in a window smaller than the picture, unless the
    // screen itself is smaller.
    SDL_Rect screen{0, 0, kWindowWidth, kWindowHeight};
    SDL_GetDisplayBounds(0, &screen);
    const int smallestWidth = std::min(kWindowWidth, screen.w), smallestHeight = std::min(kWindowHeight, screen.h);
    display->windowedWidth = placement.width > 0 ? std::clamp(placement.width, smallestWidth, screen.w) : kWindowWidth;
    display->windowedHeight =
        placement.height > 0 ? std::clamp(placement.height, smallestHeight, screen.h) : kWindowHeight;
    // Made as large as the screen from the start when full screen, so that
    // it covers the screen with or without a window manager.
    SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, display->windowedWidth, display->windowedHeight};
    if (fullScreen)
        place = screen;
    display->window = SDL_CreateWindow(title, place.x, place.y, place.w, place.h,
                                       resizable | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    if (display->window) {
        System::WatchDisplay(display->window);
        display->renderer = CreateRenderer(display->window);
    }
    if (!display->renderer) {
        problem = SDL_GetError();  // before the video is taken down
        delete display;
        return nullptr;
    }
    if (System::kOwnWindow)
        SDL_SetWindowMinimumSize(display->window, smallestWidth, smallestHeight);
    SDL_ShowCursor(SDL_ENABLE);
    currentDisplay = display;
    return display;
}

void Display::SetFullScreen(bool on)
{
    if (on == fullScreen)
        return;
    if (on) {
        SDL_GetWindowSize(window, &windowedWidth, &windowedHeight);
        CoverScreen(window);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, windowedWidth, windowedHeight);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    fullScreen = on;
    Repaint();
}

WindowPlacement Display::Placement() const
{
    WindowPlacement placement{fullScreen, windowedWidth, windowedHeight};
    if (!fullScreen)
        SDL_GetWindowSize(window, &placement.width, &placement.height);
    return placement;
}

Display::~Display()
{
    if (currentDisplay == this)
        currentDisplay = nullptr;
    // Without its server nothing of the window can be taken down (SDL would
    // wait for ever for the server's answer); the process ends anyway.
    if (System::DisplayLost())
        return;
    for (const Plate* plate : {&note, &panel})
        if (plate->texture)
            SDL_DestroyTexture(plate->texture);
    if (texture)
        SDL_DestroyTexture(texture);
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (window)
        SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Display::SetDisplayMode(int width, int height, int bitsPerPixel)
{
    if (bitsPerPixel != 16 || texture)
        return false;
    if (SDL_RenderSetLogicalSize(renderer, width, height) != 0)
        return false;
    // A 32-bit format the renderer draws without converting, filled by our own
    // exact conversion: SDL's would run in its slow generic routine whenever
    // the picture is scaled.
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0)
        return false;
    const uint32_t windowFormat = SDL_GetWindowPixelFormat(window);
    uint32_t format = SDL_PIXELFORMAT_RGB888;
    for (uint32_t i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == windowFormat && SDL_BYTESPERPIXEL(windowFormat) == 4 &&
            !SDL_ISPIXELFORMAT_ALPHA(windowFormat))
            format = windowFormat;
    textureFormat = format;
    pictureWidth = width;
    pictureHeight = height;
    if (!MakeTexture(1))
        return false;
    // The tables come from SDL's own conversion, so the picture stays exactly
    // what SDL showed of the 5-6-5 pixels; each channel's bits come from one
    // byte or the other, never both mixed in one output bit.
    uint16_t bytes[512];
    for (int i = 0; i < 256; ++i) {
        bytes[i] = static_cast<uint16_t>(i << 8);
        bytes[256 + i] = static_cast<uint16_t>(i);
    }
    uint32_t converted[512];
    if (SDL_ConvertPixels(512, 1, SDL_PIXELFORMAT_RGB565, bytes, 1024, format, converted, 2048) != 0)
        return false;
    std::memcpy(fromHighByte, converted, sizeof fromHighByte);
    std::memcpy(fromLowByte, converted + 256, sizeof fromLowByte);
    textureHoldsPicture = false;
    return true;
}

Surface* Display::CreateSurface(const SurfaceDesc* desc)
{
    if (!desc || !(desc->dwFlags & DDSD_CAPS))
        return nullptr;
    if (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
        if (!texture || primary)
            return nullptr;
        primary = std::make_unique<Surface>(pictureWidth, pictureHeight);
        if ((desc->dwFlags & DDSD_BACKBUFFERCOUNT) && desc->dwBackBufferCount == 1)
            back = std::make_unique<Surface>(pictureWidth, pictureHeight);
        primary->MakePrimary(this, back.get());
        return primary.get();
    }
    if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT) || desc->dwWidth == 0 ||
        desc->dwHeight == 0 || desc->dwWidth > 8192 || desc->dwHeight > 8192)
        return nullptr;
    return new Surface(static_cast<int>(desc->dwWidth), static_cast<int>(desc->dwHeight));
}

Clipper* Display::CreateClipper()
{
    return new Clipper;
}

static bool SameRow(const Surface& a, const Surface& b, int y)
{
    return std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * sizeof(uint16_t)) == 0;
}

bool Display::MakeTexture(int factor)
{
    if (texture)
        SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, pictureWidth * factor,
                                pictureHeight * factor);
    textureFactor = factor;
    textureHoldsPicture = false;
    return texture != nullptr;
}

// At a whole factor the picture is shown pixel for pixel; between two, the
// texture holds it enlarged by the larger one, pixel by pixel, so that
// smoothing it down blends at most one screen pixel at each edge.
void Display::FitTextureToWindow()
{
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    const double scale = std::min(double(outputWidth) / pictureWidth, double(outputHeight) / pictureHeight);
    scaledWhole = std::fabs(scale - std::round(scale)) < 1e-6;
    const int factor = scaledWhole ? 1 : std::max(1, static_cast<int>(std::ceil(scale)));
    if (factor != textureFactor && !MakeTexture(factor))
        MakeTexture(1);
}

void Display::Show(const Surface& picture, const Surface* shown)
{
    framePending = false;
    if (!texture || System::DisplayLost())
        return;
    FitTextureToWindow();
    // Only the rows that differ from the picture on screen are converted.
    const bool onlyChanges = shown && textureHoldsPicture;
    int first = 0, last = picture.Height();
    if (onlyChanges) {
        while (first < last && SameRow(picture, *shown, first))
            ++first;
        while (last > first && SameRow(picture, *shown, last - 1))
            --last;
        if (first == last)
            return;  // the screen shows this picture already
    }
    const int k = textureFactor;
    const SDL_Rect rows{0, first * k, picture.Width() * k, (last - first) * k};
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture, &rows, &pixels, &pitch) != 0) {
        textureHoldsPicture = false;
        return;
    }
    for (int y = first; y < last; ++y) {
        if (onlyChanges && SameRow(picture, *shown, y))
            continue;
        uint8_t* out = static_cast<uint8_t*>(pixels) + static_cast<size_t>(y - first) * k * pitch;
        ConvertRow(picture.Row(y), reinterpret_cast<uint32_t*>(out), picture.Width());
        for (int i = 1; i < k; ++i)
            std::memcpy(out + static_cast<size_t>(i) * pitch, out, static_cast<size_t>(picture.Width()) * k * 4);
    }
    SDL_UnlockTexture(texture);
    textureHoldsPicture = true;
    Compose();
}

void Display::ConvertRow(const uint16_t* in, uint32_t* out, int width) const
{
    const int k = textureFactor;
    if (k == 1) {
        for (int x = 0; x < width; ++x)
            out[x] = fromHighByte[in[x] >> 8] | fromLowByte[in[x] & 0xFF];
        return;
    }
    for (int x = 0; x < width; ++x)
        std::fill_n(out + static_cast<size_t>(x) * k, k, fromHighByte[in[x] >> 8] | fromLowByte[in[x] & 0xFF]);
}

void Display::Compose()
{
    SDL_SetTextureScaleMode(texture, scaledWhole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    if (panel.texture) {
        const SDL_Rect place{(pictureWidth - panel.width) / 2, (pictureHeight - panel.height) / 2, panel.width,
                             panel.height};
        SDL_RenderCopy(renderer, panel.texture, nullptr, &place);
    }
    if (note.texture) {
        const SDL_Rect place{(pictureWidth - note.width) / 2, 12, note.width, note.height};
        SDL_RenderCopy(renderer, note.texture, nullptr, &place);
    }
    // The size drawn for, taken before the present: in a page the present
    // lets the page run, which may resize the canvas (and clear it) then.
    SDL_GetRendererOutputSize(renderer, &composedWidth, &composedHeight);
    SDL_RenderPresent(renderer);
    ++framesShown;
    MarkFirstFrame();
}

SDL_Texture* Display::NoteTexture(const Surface& picture)
{
    SDL_Texture* made =
        SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, picture.Width(), picture.Height());
    void* pixels = nullptr;
    int pitch = 0;
    if (!made || SDL_LockTexture(made, nullptr, &pixels, &pitch) != 0) {
        if (made)
            SDL_DestroyTexture(made);
        return nullptr;
    }
    for (int y = 0; y < picture.Height(); ++y) {
        uint32_t* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch);
        for (int x = 0; x < picture.Width(); ++x)
            out[x] = fromHighByte[picture.Row(y)[x] >> 8] | fromLowByte[picture.Row(y)[x] & 0xFF];
    }
    SDL_UnlockTexture(made);
    return made;
}

// Light text on a dark plate, as small as the lines allow; false when no
// text can be drawn.
bool Display::MakePlate(const std::vector<std::string>& lines, Plate* made)
{
    if (!texture)
        return false;
    if (!noteFont)
        noteFont.reset(Font::Create(20, FW_BOLD, "Verdana"));
    Surface measure(1, 1);
    DeviceContext* dc = nullptr;
    if (!noteFont || !measure.GetDC(&dc))
        return false;
    dc->SelectObject(noteFont.get());
    int width = 0, lineHeight = 0;
    for (const std::string& line : lines) {
        int w = 0, h = 0;
        if (dc->GetTextExtent(line.c_str(), -1, &w, &h)) {
            width = std::max(width, w);
            lineHeight = std::max(lineHeight, h);
        }
    }
    measure.ReleaseDC(dc);
    if (width <= 0 || lineHeight <= 0)
        return false;
    Surface plate(std::min(width + 24, pictureWidth), lineHeight * static_cast<int>(lines.size()) + 10);
    BltFx fx{sizeof fx, 0x2104};
    plate.Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    if (!plate.GetDC(&dc))
        return false;
    dc->SelectObject(noteFont.get());
    dc->SetTextColor(RGB(255, 230, 120));
    for (size_t i = 0; i < lines.size(); ++i)
        dc->TextOut(12, 5 + lineHeight * static_cast<int>(i), lines[i].c_str(), -1);
    plate.ReleaseDC(dc);
    SDL_Texture* shown = NoteTexture(plate);
    if (!shown)
        return false;
    if (made->texture)
        SDL_DestroyTexture(made->texture);
    *made = Plate{shown, plate.Width(), plate.Height()};
    return true;
}

void Display::ShowNote(const char* text)
{
    if (!MakePlate({text}, &note))
        return;
    noteUntil = timeGetTime() + kNoteMilliseconds;
    if (textureHoldsPicture)
        Compose();
}

void Display::ShowPanel(const std::vector<std::string>& lines)
{
    if (!MakePlate(lines, &panel))
        return;
    if (textureHoldsPicture)
        Compose();
}

void Display::HidePanel()
{
    if (!panel.texture)
        return;
    SDL_DestroyTexture(panel.texture);
    panel = Plate();
    if (textureHoldsPicture)
        Compose();
}

void Display::ExpireNote()
{
    if (!note.texture || static_cast<int32_t>(timeGetTime() - noteUntil) < 0)
        return;
    SDL_DestroyTexture(note.texture);
    note = Plate();
    if (textureHoldsPicture)
        Compose();
}

void Display::Present(const Surface& front)
{
    Show(front, nullptr);
}

void Display::Flipped(const Surface& front, const Surface& flippedAway)
{
    // Drawn on since it was shown: the screen shows something else.
    Show(front, framePending ? nullptr : &flippedAway);
    System::FrameFlipped();
}

void Display::PresentIfPending()
{
    if (framePending && primary)
        Present(*primary);
}

void Display::Repaint()
{
    if (primary)
        Present(*primary);
}

void Display::RepaintIfResized()
{
    int width = 0, height = 0;
    if (textureHoldsPicture && SDL_GetRendererOutputSize(renderer, &width, &height) == 0 &&
        (width != composedWidth || height != composedHeight))
        Repaint();
}

void CopyToClipboard(const char* text)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_SetClipboardText(text);
}

std::string ClipboardText(size_t most)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText())
        return {};
    char* text = SDL_GetClipboardText();
    const std::string held = text ? std::string(text).substr(0, most) : std::string();
    SDL_free(text);
    return held;
}

void PresentPendingFrame()
{
    if (currentDisplay)
        currentDisplay->PresentIfPending();
}

void ExpireDisplayNote()
{
    if (currentDisplay)
        currentDisplay->ExpireNote();
}

void RepaintDisplay()
{
    if (currentDisplay)
        currentDisplay->Repaint();
}

void RepaintResizedDisplay()
{
    if (currentDisplay)
        currentDisplay->RepaintIfResized();
}

uint64_t FramesShown()
{
    return framesShown;
}

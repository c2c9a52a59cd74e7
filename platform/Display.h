// The display: a desktop-sized window (or, on request, a resizable window
// 800 x 600 at first) whose renderer shows the game's 800 x 600 picture
// scaled to fit with its aspect kept (black bars), sharp at any size: the
// picture is enlarged pixel by pixel by the smallest whole factor that
// reaches the shown size and only then smoothed down to it. Pointer
// positions arrive in picture coordinates either way.
#pragma once

#include "Surface.h"

#include <memory>
#include <string>
#include <vector>

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;
class Font;

class Display final : public SurfaceWatcher {
public:
    // Null when no display is available.
    static Display* Create(const char* title, const WindowPlacement& placement);
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool SetDisplayMode(int width, int height, int bitsPerPixel);
    // A primary surface (owned by the display, with its back buffer when the
    // description asks for one) or an off-screen surface (owned by the caller).
    Surface* CreateSurface(const SurfaceDesc* desc);
    Clipper* CreateClipper();

    // Shows the front buffer, waiting for the vertical blank where the driver offers it.
    void Present(const Surface& front);
    void FrameChanged() override { framePending = true; }
    // Shows the new front buffer unless the screen already shows exactly that
    // picture (the buffer flipped away, unchanged since it was shown).
    void Flipped(const Surface& front, const Surface& flippedAway) override;
    void PresentIfPending();
    void Repaint();
    // Shows the visible surface again when the window's size changed since it
    // was last shown (a resize clears the page's canvas).
    void RepaintIfResized();

    bool FullScreen() const { return fullScreen; }
    // Switches between full screen and the window, keeping the picture.
    void SetFullScreen(bool on);
    // Full screen or not, and the window's size when it is not (as it is now,
    // or as it was before the screen was filled).
    WindowPlacement Placement() const;

    // A short note over the picture (Windows-1250 text), gone by itself after
    // a moment; the game's own pixels never hold it.
    void ShowNote(const char* text);
    // Takes the note away once its time is up.
    void ExpireNote();
    // Lines in the middle of the picture, in the notes' style, until hidden:
    // the port's own screens (online play) over the game's picture.
    void ShowPanel(const std::vector<std::string>& lines);
    void HidePanel();

private:
    Display() = default;
    // Shows the picture; `shown`, when given, is what the screen shows now.
    void Show(const Surface& picture, const Surface* shown);
    // Puts the texture's picture (and the note) on the screen.
    void Compose();
    // The picture's texture, `factor` times the picture's size.
    bool MakeTexture(int factor);
    // The factor the window's size asks for now.
    void FitTextureToWindow();
    // 5-6-5 pixels as the texture's, each `textureFactor` times over.
    void ConvertRow(const uint16_t* in, uint32_t* out, int width) const;
    SDL_Texture* NoteTexture(const Surface& plate);

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    uint32_t textureFormat = 0;
    int textureFactor = 1;
    bool scaledWhole = true;
    int pictureWidth = 0;
    int pictureHeight = 0;
    // The texture's own pixel format, filled from 5-6-5 pixels through two
    // tables: the high and the low byte of a pixel each give their bits.
    uint32_t fromHighByte[256] = {};
    uint32_t fromLowByte[256] = {};
    bool textureHoldsPicture = false;
    // The renderer's output size when the picture was last put on the screen.
    int composedWidth = 0;
    int composedHeight = 0;
    std::unique_ptr<Surface> primary;
    std::unique_ptr<Surface> back;
    bool framePending = false;
    bool fullScreen = true;
    int windowedWidth = 0;
    int windowedHeight = 0;
    struct Plate {
        SDL_Texture* texture = nullptr;
        int width = 0;
        int height = 0;
    };
    bool MakePlate(const std::vector<std::string>& lines, Plate* made);
    Plate note;
    Plate panel;
    uint32_t noteUntil = 0;
    std::unique_ptr<Font> noteFont;
};

// Whether a real display is there. SDL falls back to its invisible
// "offscreen" driver when there is no X11 or Wayland display; that driver and
// "dummy" count only when SDL_VIDEODRIVER asks for them. Each call looks
// afresh; after a yes SDL's video stays up, so that the window made next does
// not connect to the display a second time.
bool DisplayAvailable();
// Why the display could not be set up, the last time DisplayAvailable() or
// Display::Create() failed: SDL's own words, or that SDL found only one of
// its invisible drivers.
const std::string& DisplayProblem();
// After DisplayAvailable() said no: whether a display is there all the same,
// which SDL left to choose its driver itself would reach or fail to set up
// (SDL_VIDEODRIVER named another driver, or the display's set-up failed),
// as opposed to none at all.
bool DisplayThere();

// Puts the text (UTF-8) on the system's clipboard, for the player to paste.
void CopyToClipboard(const char* text);
// What the clipboard holds as text (UTF-8), at most `most` bytes; empty when nothing.
std::string ClipboardText(size_t most);
// Shows what was drawn straight onto the visible surface since the last frame.
void PresentPendingFrame();
// Shows the visible surface again (the window was uncovered or resized).
void RepaintDisplay();
// The same, only when the window's size changed since the picture was last
// shown: a wait keeps its picture on the screen through a resize.
void RepaintResizedDisplay();
// Takes an expired note away (called while the game waits).
void ExpireDisplayNote();
// How many pictures have been put on the screen so far: a step that showed
// nothing new leaves it as it was.
uint64_t FramesShown();

// What differs between the systems the game runs on. Each system has one
// folder implementing all of this (posix/: the Linux desktop, installed or
// not; browser/: the web page; windows/), and platform/CMakeLists.txt builds
// the one it is for. Nothing outside those folders asks which system it is:
// it asks the capabilities below.
//
// The names live in their own namespace so that they never meet the Win32
// names the game itself defines (MessageBox, Sleep, RECT, HWND...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

struct SDL_Window;

struct SystemTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

namespace System {

// Capabilities.
// The game has a window of its own on a desktop, which can fill the screen
// and be resized; false in a page, whose canvas the page sizes.
extern const bool kOwnWindow;
// SDL's own software renderer takes the place of a GL that only rasterises in
// software (Mesa's llvmpipe) on a desktop; false in a page, whose WebGL is
// the browser's to draw however it does, and whose canvas, once it holds a
// WebGL context, gives no 2D one.
extern const bool kReplacesSoftwareGL;

// Time.
// A real pause, cut short by a signal; in a page, the page has its turn.
void Pause(uint32_t milliseconds);
// True when an input event came within the time (SDL's video is running).
// A page ends the wait at the player's next input or the time, whichever
// comes first; a hidden page holds it until it is shown.
bool WaitForEvent(uint32_t milliseconds);
// The longest slice of a wait for input before it looks for a quit request
// (a signal does not wake SDL's wait) or an expired note again.
extern const uint32_t kWaitSliceMilliseconds;
// Right after a flip: a page shows the frame now, as a screen would.
void FrameFlipped();
SystemTime LocalTime();
// Sample frames per fill of the sound output; a page fills it on its main
// thread, so in fewer and longer turns.
extern const uint16_t kSoundFrames;
// Processor time this process has used, in nanoseconds (for the start-up figure).
int64_t ProcessorNanoseconds();

// Files and folders. Paths are UTF-8 and may be relative to the working folder.
// Like std::fopen, but only ever a regular file: a directory, a FIFO or a
// device in its place is refused without waiting on it. Null with errno
// set: ENOENT when the file is not there, ENODEV (or the system's own
// reason, such as EISDIR) when something other than a regular file stands
// in its place.
FILE* OpenRegularFile(const char* path, const char* mode);
// Replaces the whole file at once through a new temporary file beside it,
// flushed to the disk and renamed over the old one; temporaries left by an
// earlier save that was killed are removed first. False, with errno set,
// when the file could not be replaced; the old one is then untouched.
bool ReplaceFile(const char* path, const void* bytes, size_t size);
// Copies of the game on one machine (processes on one folder, tabs of the
// page) take turns at a file that each reads, changes and saves: from
// LockFile until UnlockFile no other copy holds the lock of that file, and
// the file reads as the copy that held it last left it. Waits while another
// copy holds it, a few seconds at most; false then, or when no lock can be
// had there: the caller goes on without one.
bool LockFile(const char* path);
void UnlockFile(const char* path);
// Nothing at all is there (a file that cannot be looked at is not missing).
bool FileMissing(const char* path);
// Like mkdir -p; new folders are the user's own. True when the folder is there.
bool MakeFolders(const std::string& path);

// Where the game's files are, decided once at start.
struct GameFolders {
    // Where a file the working folder lacks is read from (the installed
    // pictures and music), ending in '/'; empty when the game folder has all.
    std::string dataRoot;
    // The settings file's folder, ending in '/'; empty: the working folder.
    std::string settingsFolder;
};
// Makes the folder the game writes its files to the working folder. False,
// with the reason on standard error, when no usable folder can be had.
bool ChooseGameFolders(GameFolders* folders);

// Quitting from outside (a signal, a console's Ctrl+C): only noted here; the
// message queue turns it into the window's destruction. A request the game
// was started ignoring (nohup, a shell's background job) stays ignored.
void CatchQuitRequests();
bool QuitRequestCaught();
// Standard output and error reach the console the game was started from; false without one (a message box says it then).
bool ReachConsole();

// Online play.
// Bytes from the system's secure random generator; false when it has none.
bool RandomBytes(void* bytes, size_t count);
// A seat of an online game is held by a key: ECDSA on P-256 with SHA-256.
// A private key is its PKCS #8 DER, a public key the 65 bytes of its
// uncompressed point, a signature the 64 bytes of r and s. Each is false
// when the system cannot do it or the bytes are no key or no signature.
bool NewSigningKey(std::string* privateKey);
bool PublicKeyOf(const std::string& privateKey, std::string* publicKey);
bool Sign(const std::string& privateKey, const std::string& text, std::string* signature);
bool Verify(const std::string& publicKey, const std::string& text, const std::string& signature);
// The 32 bytes of SHA-256.
std::string Sha256(const std::string& bytes);
// What kind of device the list of open games names: "linux", "windows" or "page".
extern const char* const kDeviceKind;
// One connection to an MQTT broker at a time. It is made, and made again
// after a loss, by itself; what happens on it comes as news (connected,
// lost, a message with its topic and payload) taken on the game's thread,
// and each piece of news wakes the game's wait for input as input does
// (the window's message WM_APP). Nothing it brings has been checked.
struct BrokerOptions {
    std::string url;  // mqtts://host[:port] or mqtt://host[:port]; wss:// or ws:// in a page
    std::string clientId;
    std::string userName;
    std::string willTopic;  // none when empty; the will is retained, QoS 1
    std::string willPayload;
};
struct BrokerNews {
    enum class Kind { Connected, Lost, Message };
    Kind kind = Kind::Lost;
    std::string topic;
    std::string payload;
};
// False when no connection can even be tried (a URL this system cannot use);
// a broker that cannot be reached brings Lost news, and is tried again.
bool BrokerConnect(const BrokerOptions& options);
void BrokerSubscribe(const std::string& filter);
void BrokerUnsubscribe(const std::string& filter);
// QoS 1; false when it could not be handed over (no connection). A broker
// of MQTT 5 drops a retained message expirySeconds after it came (0: never);
// 3.1.1 has no such word.
bool BrokerPublish(const std::string& topic, const std::string& payload, bool retained, int expirySeconds = 0);
bool BrokerTakeNews(BrokerNews* news);
// Ends the connection cleanly (no will), after what was published has gone.
void BrokerDisconnect();
// What surrounds the game (a page) is told how online play stands: the
// game's code and its stage (OnlineGame::Stage); a desktop's notes say it.
void ShowOnlineStage(const std::string& code, int stage);
// A page's own controls ask for online play: "host BROKER" (a game with a
// friend), "quick BROKER[ NAME]" (a quick match), "list BROKER" (the list of
// open games), "unlist BROKER" (the list read no more) or "join BROKER CODE"
// (a game of the list).
bool TakeOnlineRequest(std::string* request);
// What surrounds the game (a page) shows the list of open games: a line a
// game, "CODE waiting|playing WAITED_MS DEVICE[ NAME]" (Windows-1250); a
// desktop's online screen shows it itself.
void ShowOpenGames(const std::string& lines);
// The broker's certificate must chain to a root this system trusts: puts its
// roots into an OpenSSL context (SSL_CTX*) that the MQTT library uses.
bool TrustSystemRoots(void* tlsContext);

// Display and text.
// The desktop's display can go away (its server ends): from then on
// DisplayLost() is true, and the game ends as a closed window does instead
// of being ended at once by the display's own library. Watched from the
// moment the game's window is made.
void WatchDisplay(SDL_Window* window);
bool DisplayLost();
// Whether a GPU could draw; without one GL would only rasterise in software.
bool HasGpu();
// The font file for a face and weight ("Verdana" bold); empty when none.
std::string FontFile(const char* face, int weight);

}  // namespace System

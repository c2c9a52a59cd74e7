#include "OnlineScreen.h"

#include "main.h"
#include "graphics/DDScreen.h"
#include "platform/Display.h"

#include <chrono>
#include <vector>

namespace {


constexpr int kKeyV = 'V';
constexpr size_t kMostTyped = 512;
constexpr size_t kLongestShown = 60;  // characters of a link the plate has room for
constexpr size_t kGamesShown = 9;     // chosen by the keys 1 to 9

enum class Page { Closed, First, Hosted, Join, Quick, List };
Page page = Page::Closed;
std::string typed;
std::string why;  // the last thing that went wrong, for the page to say
std::vector<online::OpenGames::Game> games;  // as the list page shows them
std::chrono::steady_clock::time_point shown;

const char* DeviceName(const std::string& device)
{
    return device == "page" ? "prohl\xED\x9E\x65\xE8" : device == "windows" ? "Windows" : "Linux";
}

// "1  čeká 2:05  Linux  JAN"
std::string GameLine(size_t number, const online::OpenGames::Game& game)
{
    const int64_t seconds = game.waitedMs / 1000;
    std::string waited = std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60);
    return std::to_string(number) + "  " + (game.playing ? "hraje se " : "\xE8\x65k\xE1 ") + waited + "  " +
           DeviceName(game.device) + (game.name.empty() ? "" : "  " + game.name);
}

// Only what the notes' font can show: the rest of a pasted text as '?'.
std::string Shown(const std::string& text)
{
    std::string shown = text.size() > kLongestShown ? "\x85" + text.substr(text.size() - kLongestShown) : text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || (static_cast<unsigned char>(c) >= 0x80 && c != '\x85'))
            c = '?';
    return shown;
}

void Show()
{
    std::vector<std::string> lines{"Hra po s\xEDti"};
    std::string code, link;
    switch (page) {
    case Page::Closed:
        lpdd->HidePanel();
        return;
    case Page::First:
        lines.push_back("H  zalo\x9Eit hru a poslat p\xF8\xEDteli odkaz");
        lines.push_back("P  p\xF8ipojit se odkazem nebo k\xF3" "dem");
        lines.push_back("K  hr\xE1t s k\xFDmkoli");
        lines.push_back("S  seznam otev\xF8\x65n\xFD\x63h her");
        break;
    case Page::Quick:
        lines.push_back("Jm\xE9no do seznamu her (nepovinn\xE9):");
        lines.push_back(typed + "_");
        lines.push_back("Enter  hledat soupe\xF8\x65");
        break;
    case Page::List:
        games = SeznamHer(kGamesShown);
        if (games.empty())
            lines.push_back("\x8E\xE1\x64n\xE1 otev\xF8\x65n\xE1 hra");
        for (size_t i = 0; i < games.size(); ++i)
            lines.push_back(GameLine(i + 1, games[i]));
        lines.push_back("1-9  hr\xE1t nebo sledovat");
        shown = std::chrono::steady_clock::now();
        break;
    case Page::Hosted:
        HostovanaHra(&code, &link);
        lines.push_back("K\xF3" "d hry: " + code);
        lines.push_back("Odkaz je ve schr\xE1nce:");
        lines.push_back(Shown(link));
        break;
    case Page::Join:
        lines.push_back("Odkaz nebo k\xF3" "d hry (Ctrl+V vlo\x9E\xED odkaz):");
        lines.push_back(Shown(typed) + "_");
        lines.push_back("Enter  p\xF8ipojit se");
        break;
    }
    if (!why.empty())
        lines.push_back(why);
    lines.push_back("Esc  zp\xECt ke h\xF8" "e");
    lpdd->ShowPanel(lines);
}

void Host()
{
    std::string problem;
    if (ZalozHruPoSiti(&problem)) {
        page = Page::Hosted;
        why.clear();
    } else {
        why = problem;
    }
}

void Join(const std::string& invitation)
{
    std::string problem;
    if (PripojSeKHrePoSiti(invitation, &problem)) {
        page = Page::Closed;
        why.clear();
    } else {
        page = Page::Join;
        typed = invitation.substr(0, kMostTyped);
        why = problem;
    }
}

void QuickMatch()
{
    std::string problem;
    if (HrajSKymkoli(typed, &problem)) {
        page = Page::Closed;
        why.clear();
    } else {
        why = problem;
    }
}

void OpenList()
{
    std::string problem;
    if (OtevriSeznamHer(&problem)) {
        page = Page::List;
        why.clear();
    } else {
        why = problem;
    }
}

void JoinListed(size_t index)
{
    std::string problem;
    if (index < games.size() && PripojSeKHreZeSeznamu(games[index].code, &problem)) {
        page = Page::Closed;
        why.clear();
    } else if (index < games.size()) {
        why = problem;
    }
}

// A letter of the table's (the 3 key carries š on the Czech layout) or a space.
char NameLetter(int key)
{
    if (key >= 'A' && key <= 'Z')
        return static_cast<char>(key);
    return key == '3' ? '\x9A' : key == ' ' ? ' ' : 0;
}

// A letter, a digit (of the keypad too) or a character of a link's.
char Typed(int key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return static_cast<char>(key);
    if (key >= 0x60 && key <= 0x69)
        return static_cast<char>('0' + key - 0x60);
    return 0;
}

}  // namespace

bool OnlineScreenOpen()
{
    return page != Page::Closed;
}

void OpenOnlineScreen()
{
    std::string code, link;
    page = HostovanaHra(&code, &link) ? Page::Hosted : Page::First;
    why.clear();
    Show();
}

void OpenOnlineScreenToHost()
{
    page = Page::First;
    why.clear();
    Host();
    Show();
}

void OpenOnlineScreenToJoin(const char* reason)
{
    page = Page::Join;
    typed.clear();
    why = reason;
    Show();
}

void OnlineScreenStep()
{
    if (page == Page::List && std::chrono::steady_clock::now() - shown >= std::chrono::seconds(1))
        Show();
}

void CloseOnlineScreen()
{
    if (page == Page::Closed)
        return;
    if (page == Page::List)
        ZavriSeznamHer();
    page = Page::Closed;
    Show();
}

bool OnlineScreenKey(int key, bool control)
{
    if (page == Page::Closed) {
        if (key != VK_F2 || GameState != 2 || !lpdd)
            return false;
        OpenOnlineScreen();
        return true;
    }
    if (key == VK_ESCAPE) {
        if (page == Page::List)
            ZavriSeznamHer();
        page = page == Page::Join || page == Page::Quick || page == Page::List ? Page::First : Page::Closed;
        why.clear();
    } else if (page == Page::First && key == 'K') {
        page = Page::Quick;
        typed.clear();
        why.clear();
    } else if (page == Page::First && key == 'S') {
        OpenList();
    } else if (page == Page::Quick && key == VK_RETURN) {
        QuickMatch();
    } else if (page == Page::Quick && key == VK_BACK && !typed.empty()) {
        typed.pop_back();
    } else if (page == Page::Quick && NameLetter(key) && typed.size() < online::kLongestName) {
        typed.push_back(NameLetter(key));
    } else if (page == Page::List && Typed(key) >= '1' && Typed(key) <= '9') {
        JoinListed(static_cast<size_t>(Typed(key) - '1'));
    } else if (page == Page::First && key == 'H') {
        Host();
    } else if (page == Page::First && key == 'P') {
        const std::string clipboard = ClipboardText(kMostTyped);
        page = Page::Join;
        typed.clear();
        why.clear();
        // A link on the clipboard is what the friend sent: it is taken at once.
        if (JePozvankou(clipboard))
            Join(clipboard);
    } else if (page == Page::Join && key == VK_RETURN) {
        Join(typed);
    } else if (page == Page::Join && control && key == kKeyV) {
        typed = (typed + ClipboardText(kMostTyped)).substr(0, kMostTyped);
    } else if (page == Page::Join && key == VK_BACK && !typed.empty()) {
        typed.pop_back();
    } else if (page == Page::Join && Typed(key) && typed.size() < kMostTyped) {
        typed.push_back(Typed(key));
    }
    Show();
    return true;
}

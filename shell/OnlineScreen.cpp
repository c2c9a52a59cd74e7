#include "OnlineScreen.h"

#include "main.h"
#include "graphics/DDScreen.h"
#include "platform/Display.h"

#include <vector>

namespace {


constexpr int kKeyV = 'V';
constexpr size_t kMostTyped = 512;
constexpr size_t kLongestShown = 60;  // characters of a link the plate has room for

enum class Page { Closed, First, Hosted, Join };
Page page = Page::Closed;
std::string typed;
std::string why;  // the last thing that went wrong, for the page to say

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

void CloseOnlineScreen()
{
    if (page == Page::Closed)
        return;
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
        page = page == Page::Join ? Page::First : Page::Closed;
        why.clear();
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

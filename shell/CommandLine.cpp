#include "CommandLine.h"

#include "online/Protocol.h"

#include <cstring>

const char kUsage[] =
    "Usage: ortelanka [OPTION]... [LINK]\n"
    "Five in a row on a 26 x 26 board. A LINK to a friend's online game\n"
    "(ortelanka://HOST[:PORT]/#CODE or the page's https://HOST/#CODE) joins it.\n"
    "\n"
    "      --fullscreen     start full screen (the default)\n"
    "      --windowed       start in a window\n"
    "      --online         play a friend on another device: host a new game and\n"
    "                       print its code and link to send (needs a broker)\n"
    "      --join LINK      join the friend's game by its link or its code\n"
    "      --paste          join the game whose link is on the clipboard\n"
    "      --online-screen  open the online screen (F2) on the board at once\n"
    "      --broker URL     the MQTT broker of online play, mqtts://HOST[:PORT]\n"
    "                       (mqtt:// without TLS); a link names its own; else\n"
    "                       broker=URL in ortelanka.conf, else the built-in one\n"
    "                       (" ORTELANKA_BROKER_SHOWN ")\n"
    "  -h, --help           show this help and exit\n"
    "  -v, --version        show the version and exit\n"
    "\n"
    "Keys: Alt+Enter switches between full screen and the window, F9 turns the\n"
    "music off and on; both are remembered. Arrow keys and Space or Enter play\n"
    "without the mouse; Escape asks whether to end. F2 on the board opens the\n"
    "online screen: host a game and send its link, or join one by a link.\n";

namespace {

// A desktop speaks MQTT over TLS or TCP, a page over websockets.
bool IsBrokerUrl(const std::string& url)
{
    for (const char* scheme : {"mqtts://", "mqtt://", "wss://", "ws://"})
        if (url.rfind(scheme, 0) == 0)
            return true;
    return false;
}

CommandLine Wrong(CommandLine line, const std::string& complaint)
{
    line.action = CommandLine::Action::Wrong;
    line.complaint = complaint;
    return line;
}

}  // namespace

CommandLine ReadCommandLine(int argc, char** argv)
{
    CommandLine line;
    std::string invitation;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        const bool valued = std::strcmp(option, "--join") == 0 || std::strcmp(option, "--broker") == 0;
        if (valued && i + 1 >= argc)
            return Wrong(line, std::string(option) + " needs a value");
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            line.action = CommandLine::Action::Help;
        } else if (std::strcmp(option, "--version") == 0 || std::strcmp(option, "-v") == 0) {
            line.action = CommandLine::Action::Version;
        } else if (std::strcmp(option, "--fullscreen") == 0) {
            line.window = WindowChoice::FullScreen;
        } else if (std::strcmp(option, "--windowed") == 0) {
            line.window = WindowChoice::Window;
        } else if (std::strcmp(option, "--online") == 0) {
            line.host = true;
        } else if (std::strcmp(option, "--paste") == 0) {
            line.paste = true;
        } else if (std::strcmp(option, "--online-screen") == 0) {
            line.onlineScreen = true;
        } else if (std::strcmp(option, "--join") == 0) {
            invitation = argv[++i];
        } else if (std::strstr(option, "://") && option[0] != '-') {
            invitation = option;  // a link the desktop or Windows hands the game
        } else if (std::strcmp(option, "--broker") == 0) {
            line.broker = argv[++i];
            if (!IsBrokerUrl(line.broker))
                return Wrong(line, "--broker takes mqtts://HOST[:PORT] or mqtt://HOST[:PORT]");
        } else {
            line.action = CommandLine::Action::Wrong;
            line.wrongOption = option;
            return line;
        }
    }
    if (line.action != CommandLine::Action::Play)
        return line;
    if (line.host + !invitation.empty() + line.paste > 1)
        return Wrong(line, "--online, --join and --paste go one at a time");
    if (!invitation.empty()) {
        std::string broker;
        if (!online::ReadInvitation(invitation, &line.join, &broker))
            return Wrong(line, "--join takes a game's link or its 16-symbol code");
        if (line.broker.empty())
            line.broker = broker;
    }
    return line;
}

const char kNoBroker[] =
    "online play needs a broker: --broker URL, a line broker=URL in ortelanka.conf, or a game built with "
    "-DORTELANKA_BROKER=URL";

bool ChooseBroker(const std::string& fromSettings, std::string* broker)
{
    if (broker->empty())
        *broker = IsBrokerUrl(fromSettings) ? fromSettings : ORTELANKA_BROKER;
    return !broker->empty();
}

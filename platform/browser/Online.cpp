// What online play needs of a page: the browser's secure random bytes for a
// game's code, its broker (MQTT.js over websockets, which the page loads
// only when a player goes online: web/module.js), and the page around the
// game, which shows how online play stands and has a control to start it.
#include "platform/System.h"

#include <SDL.h>
#include <emscripten.h>
#include <algorithm>
#include <unistd.h>

const char* const System::kDeviceKind = "page";

bool System::RandomBytes(void* bytes, size_t count)
{
    auto* at = static_cast<unsigned char*>(bytes);
    for (size_t done = 0; done < count; done += 256)
        if (getentropy(at + done, std::min<size_t>(256, count - done)) != 0)
            return false;
    return true;
}

// The page's news wakes the game's wait for input, as the desktops' does.
extern "C" EMSCRIPTEN_KEEPALIVE void ortelanka_news()
{
    static const uint32_t wake = SDL_RegisterEvents(1);
    SDL_Event event{};
    event.type = wake;
    SDL_PushEvent(&event);
}

EM_JS(int, PageBrokerConnect, (const char* url, const char* id, const char* user, const char* willTopic,
                               const char* willPayload), {
    return Module.broker.connect(UTF8ToString(url), UTF8ToString(id), UTF8ToString(user), UTF8ToString(willTopic),
                                 UTF8ToString(willPayload)) ? 1 : 0;
});
EM_JS(void, PageBrokerSubscribe, (const char* filter), { Module.broker.subscribe(UTF8ToString(filter)); });
EM_JS(void, PageBrokerUnsubscribe, (const char* filter), { Module.broker.unsubscribe(UTF8ToString(filter)); });
EM_JS(int, PageBrokerPublish, (const char* topic, const char* payload, int length, int retained, int expiry), {
    return Module.broker.publish(UTF8ToString(topic), HEAPU8.slice(payload, payload + length), !!retained, expiry) ? 1
                                                                                                                   : 0;
});
// The kind of the next news (0: none), with the lengths of its topic and payload.
EM_JS(int, PageBrokerPeek, (int* topicLength, int* payloadLength), {
    const news = Module.broker.peek();
    if (!news)
        return 0;
    HEAP32[topicLength >> 2] = news.topic.length;
    HEAP32[payloadLength >> 2] = news.payload.length;
    return news.kind;
});
EM_JS(void, PageBrokerTake, (char* topic, char* payload), {
    const news = Module.broker.take();
    HEAPU8.set(news.topic, topic);
    HEAPU8.set(news.payload, payload);
});
EM_JS(void, PageBrokerDisconnect, (void), { Module.broker.disconnect(); });
EM_JS(void, PageOnlineStage, (const char* code, int stage), { Module.onlineStage(UTF8ToString(code), stage); });
EM_JS(void, PageOpenGames, (const char* lines, int length), { Module.openGames(HEAPU8.slice(lines, lines + length)); });
// What the page's controls asked for, its length (0: no request).
EM_JS(int, PageOnlineRequestLength, (void), { return Module.broker.request ? lengthBytesUTF8(Module.broker.request) : 0; });
EM_JS(void, PageOnlineRequestTake, (char* url, int size), {
    stringToUTF8(Module.broker.request, url, size);
    Module.broker.request = null;
});

bool System::BrokerConnect(const BrokerOptions& options)
{
    return PageBrokerConnect(options.url.c_str(), options.clientId.c_str(), options.userName.c_str(),
                             options.willTopic.c_str(), options.willPayload.c_str()) != 0;
}

void System::BrokerSubscribe(const std::string& filter)
{
    PageBrokerSubscribe(filter.c_str());
}

void System::BrokerUnsubscribe(const std::string& filter)
{
    PageBrokerUnsubscribe(filter.c_str());
}

bool System::BrokerPublish(const std::string& topic, const std::string& payload, bool retained, int expirySeconds)
{
    return PageBrokerPublish(topic.c_str(), payload.data(), static_cast<int>(payload.size()), retained,
                             expirySeconds) != 0;
}

bool System::BrokerTakeNews(BrokerNews* news)
{
    int topicLength = 0, payloadLength = 0;
    const int kind = PageBrokerPeek(&topicLength, &payloadLength);
    if (kind == 0)
        return false;
    news->kind = kind == 1 ? BrokerNews::Kind::Connected : kind == 2 ? BrokerNews::Kind::Lost : BrokerNews::Kind::Message;
    news->topic.assign(static_cast<size_t>(topicLength), '\0');
    news->payload.assign(static_cast<size_t>(payloadLength), '\0');
    PageBrokerTake(news->topic.data(), news->payload.data());
    return true;
}

void System::BrokerDisconnect()
{
    PageBrokerDisconnect();
}

bool System::TrustSystemRoots(void*)
{
    return false;  // the browser checks the broker's certificate itself
}

void System::ShowOnlineStage(const std::string& code, int stage)
{
    PageOnlineStage(code.c_str(), stage);
}

void System::ShowOpenGames(const std::string& lines)
{
    PageOpenGames(lines.data(), static_cast<int>(lines.size()));
}

bool System::TakeOnlineRequest(std::string* request)
{
    const int length = PageOnlineRequestLength();
    if (length == 0)
        return false;
    request->assign(static_cast<size_t>(length) + 1, '\0');
    PageOnlineRequestTake(request->data(), length + 1);
    request->resize(static_cast<size_t>(length));
    return true;
}

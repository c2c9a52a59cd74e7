// Online play's broker on a desktop: libmosquitto, MQTT over TLS for
// mqtts:// (the broker's certificate and name checked against the system's
// trusted roots) and over plain TCP for mqtt://. libmosquitto's own thread
// keeps the connection, makes it again after a loss and hands what arrives
// to the game's thread, waking its wait for input with an SDL event.
#include "platform/System.h"

#include <SDL.h>
#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <vector>

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr uint32_t kFarewellMs = 2000;  // for each of the broker's answers when leaving

std::mutex newsLock;
std::deque<System::BrokerNews> news;
mosquitto* client = nullptr;
std::atomic<bool> connected{false};
std::vector<std::string> filters;  // subscribed to, for the leaving's unsubscription
std::atomic<bool> farewellAnswered{false};  // only leaving unsubscribes
constexpr uint32_t kMostPacketBytes = 8192;
std::atomic<bool> speaksNewer{true};   // MQTT 5
std::atomic<bool> lossExpected{false};  // the loss that follows a refused MQTT 5
std::atomic<bool> loopEnded{false};
uint32_t wakeEvent = 0;

// Called on libmosquitto's thread.
void Wake()
{
    SDL_Event wake{};
    wake.type = wakeEvent;
    SDL_PushEvent(&wake);
}

void Tell(System::BrokerNews item)
{
    {
        const std::lock_guard<std::mutex> guard(newsLock);
        news.push_back(std::move(item));
    }
    Wake();
}

// A broker of MQTT 3.1.1 only (the nats cluster's) refuses version 5. That
// refusal is an error that ends libmosquitto's loop for good: the game's
// thread starts it again on 3.1.1 (BrokerTakeNews), and the loss that comes
// of trying is no news to the game.
void OnConnect(mosquitto*, void*, int result)
{
    if (result == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION && speaksNewer) {
        speaksNewer = false;
        lossExpected = loopEnded = true;
        Wake();
        return;
    }
    connected = result == 0;
    Tell(System::BrokerNews{result == 0 ? System::BrokerNews::Kind::Connected : System::BrokerNews::Kind::Lost, {}, {}});
}

void OnDisconnect(mosquitto*, void*, int)
{
    connected = false;
    if (lossExpected.exchange(false))
        return;
    Tell(System::BrokerNews{System::BrokerNews::Kind::Lost, {}, {}});
}

// MQTT 5 lets a client name the largest packet it takes: the broker then
// drops a larger message for it instead of sending it whole.
void AskForSmallPackets()
{
    speaksNewer = true;
    lossExpected = loopEnded = false;
    mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_property* properties = nullptr;
    if (mosquitto_property_add_int32(&properties, MQTT_PROP_MAXIMUM_PACKET_SIZE, kMostPacketBytes) != MOSQ_ERR_SUCCESS)
        return;
    // libmosquitto's only connect that takes CONNECT's properties blocks; it
    // keeps them for every connection it makes later, and given no port it
    // makes none: the asynchronous connect then sends them.
    mosquitto_connect_bind_v5(client, "", -1, kKeepAliveSeconds, nullptr, properties);
    mosquitto_property_free_all(&properties);
}

void OnUnsubscribe(mosquitto*, void*, int)
{
    farewellAnswered = true;
}

void OnMessage(mosquitto*, void*, const mosquitto_message* message)
{
    const char* bytes = static_cast<const char*>(message->payload);
    Tell(System::BrokerNews{System::BrokerNews::Kind::Message, message->topic,
                            std::string(bytes, bytes ? static_cast<size_t>(message->payloadlen) : 0)});
}

template <typename Condition>
bool WaitAtMostFarewell(Condition done)
{
    const uint32_t start = SDL_GetTicks();
    while (!done() && SDL_GetTicks() - start < kFarewellMs)
        SDL_Delay(5);
    return done();
}

struct Address {
    bool tls;
    std::string host;
    int port;
};

// mqtts://host[:port] or mqtt://host[:port], an optional "/" at the end.
bool ReadUrl(const std::string& url, Address* address)
{
    const std::string secure = "mqtts://", plain = "mqtt://";
    size_t at;
    if (url.compare(0, secure.size(), secure) == 0) {
        *address = Address{true, "", 8883};
        at = secure.size();
    } else if (url.compare(0, plain.size(), plain) == 0) {
        *address = Address{false, "", 1883};
        at = plain.size();
    } else {
        return false;
    }
    std::string rest = url.substr(at);
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    const size_t colon = rest.rfind(':');
    if (colon != std::string::npos && rest.find(']') == std::string::npos) {
        const std::string port = rest.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return false;
        address->port = std::atoi(port.c_str());
        rest = rest.substr(0, colon);
    }
    if (rest.empty() || rest.size() > 253 || address->port < 1 || address->port > 65535 ||
        rest.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") != std::string::npos)
        return false;
    address->host = rest;
    return true;
}

// TLS 1.2 at least, the certificate checked against the system's roots and
// the broker's name (libmosquitto checks the name only on a context it made).
bool UseTls(const std::string& host)
{
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (!context)
        return false;
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    const bool ready = X509_VERIFY_PARAM_set1_host(SSL_CTX_get0_param(context), host.c_str(), 0) == 1 &&
                       System::TrustSystemRoots(context) &&
                       mosquitto_int_option(client, MOSQ_OPT_SSL_CTX_WITH_DEFAULTS, 0) == MOSQ_ERR_SUCCESS &&
                       mosquitto_void_option(client, MOSQ_OPT_SSL_CTX, context) == MOSQ_ERR_SUCCESS;
    SSL_CTX_free(context);  // libmosquitto holds its own reference
    return ready;
}

}  // namespace

bool System::BrokerConnect(const BrokerOptions& options)
{
    BrokerDisconnect();
    Address address;
    if (!ReadUrl(options.url, &address))
        return false;
    if (wakeEvent == 0) {
        mosquitto_lib_init();
        wakeEvent = SDL_RegisterEvents(1);
    }
    client = mosquitto_new(options.clientId.c_str(), true, nullptr);
    if (!client)
        return false;
    mosquitto_connect_callback_set(client, OnConnect);
    mosquitto_disconnect_callback_set(client, OnDisconnect);
    mosquitto_message_callback_set(client, OnMessage);
    mosquitto_unsubscribe_callback_set(client, OnUnsubscribe);
    mosquitto_int_option(client, MOSQ_OPT_TCP_NODELAY, 1);  // a move is one small packet: no waiting for more
    // A lost broker is tried again every two seconds, as the page does; the
    // wait between tries is also the longest a leaving game may wait for
    // the loop's thread to see that it is to stop.
    mosquitto_reconnect_delay_set(client, 1, 2, false);
    mosquitto_username_pw_set(client, options.userName.c_str(), nullptr);
    AskForSmallPackets();
    if (!options.willTopic.empty())
        mosquitto_will_set(client, options.willTopic.c_str(), static_cast<int>(options.willPayload.size()),
                           options.willPayload.data(), 1, true);
    if ((address.tls && !UseTls(address.host)) || mosquitto_loop_start(client) != MOSQ_ERR_SUCCESS) {
        mosquitto_destroy(client);
        client = nullptr;
        return false;
    }
    // A broker that does not answer is tried again by the loop's thread.
    if (mosquitto_connect_async(client, address.host.c_str(), address.port, kKeepAliveSeconds) != MOSQ_ERR_SUCCESS)
        Tell(BrokerNews{BrokerNews::Kind::Lost, {}, {}});
    return true;
}

void System::BrokerSubscribe(const std::string& filter)
{
    if (!client)
        return;
    mosquitto_subscribe(client, nullptr, filter.c_str(), 1);
    if (std::find(filters.begin(), filters.end(), filter) == filters.end())
        filters.push_back(filter);
}

void System::BrokerUnsubscribe(const std::string& filter)
{
    if (!client)
        return;
    mosquitto_unsubscribe(client, nullptr, filter.c_str());
    filters.erase(std::remove(filters.begin(), filters.end(), filter), filters.end());
}

bool System::BrokerPublish(const std::string& topic, const std::string& payload, bool retained, int expirySeconds)
{
    if (!client)
        return false;
    // Properties on a connection of 3.1.1 would fail the publication.
    mosquitto_property* properties = nullptr;
    if (expirySeconds > 0 && speaksNewer &&
        mosquitto_property_add_int32(&properties, MQTT_PROP_MESSAGE_EXPIRY_INTERVAL, static_cast<uint32_t>(expirySeconds)) !=
            MOSQ_ERR_SUCCESS)
        return false;
    const bool handed = mosquitto_publish_v5(client, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                                             payload.data(), 1, retained, properties) == MOSQ_ERR_SUCCESS;
    mosquitto_property_free_all(&properties);
    return handed;
}

bool System::BrokerTakeNews(BrokerNews* item)
{
    // Refused MQTT 5: the loop's thread is ending or has ended. Joined, and
    // started again on 3.1.1, which has no properties for CONNECT (given
    // none and no port, the blocking connect only forgets them).
    if (loopEnded.exchange(false) && client) {
        mosquitto_loop_stop(client, false);
        mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
        mosquitto_connect_bind_v5(client, "", -1, kKeepAliveSeconds, nullptr, nullptr);
        if (mosquitto_reconnect_async(client) != MOSQ_ERR_SUCCESS || mosquitto_loop_start(client) != MOSQ_ERR_SUCCESS)
            Tell(BrokerNews{BrokerNews::Kind::Lost, {}, {}});
    }
    const std::lock_guard<std::mutex> guard(newsLock);
    if (news.empty())
        return false;
    *item = std::move(news.front());
    news.pop_front();
    return true;
}

void System::BrokerDisconnect()
{
    if (!client)
        return;
    // Connected, the loop's thread sends what is queued, then the
    // disconnection, and ends once the connection has ended; otherwise it may
    // be waiting to try again, and is told to stop trying and woken.
    //
    // The last words (a seat's "left") must reach the other side, not the
    // will. A connection closed with the broker's answers still unread is
    // reset rather than ended, and a reset can take the disconnection with
    // it, so the broker tells the will. The broker answers in order, so an
    // unsubscription sent after the last words is answered after everything
    // it had to say until then, and once that answer is read nothing more
    // comes. Each answer is waited for a moment only: a connection lost or
    // made again just then can keep the thread's loop going, and the thread
    // is then stopped wherever it is.
    const bool wasConnected = connected;
    if (wasConnected && !filters.empty()) {
        std::vector<char*> subscribed;
        for (std::string& filter : filters)
            subscribed.push_back(filter.data());
        farewellAnswered = false;
        if (mosquitto_unsubscribe_multiple(client, nullptr, static_cast<int>(subscribed.size()), subscribed.data(),
                                           nullptr) == MOSQ_ERR_SUCCESS)
            WaitAtMostFarewell([] { return farewellAnswered || !connected; });
    }
    mosquitto_disconnect(client);  // a client without a connection stops trying, too
    const bool ended = wasConnected && WaitAtMostFarewell([] { return !connected; });
    mosquitto_loop_stop(client, !ended);
    connected = false;
    mosquitto_destroy(client);
    client = nullptr;
    filters.clear();
    const std::lock_guard<std::mutex> guard(newsLock);
    news.clear();
}

// The key that holds this device's seats in online games: made at the first
// online game and kept beside the settings, so that a player who comes back
// to a game takes the seat that is theirs.
#pragma once

#include <string>

struct DeviceKey {
    std::string privateKey;  // PKCS #8
    std::string publicKey;   // the point
};

// False when the system can make no key; a damaged file is replaced by a new
// key, with a line in the log (the seats of the old one are lost).
bool LoadDeviceKey(DeviceKey* key);

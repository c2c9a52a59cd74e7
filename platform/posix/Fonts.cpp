// Fonts on a POSIX desktop, found through fontconfig.
#include "platform/System.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <utility>

// "Verdana" bold finds DejaVu Sans Bold on Debian; looked up once per face
// and weight.
std::string System::FontFile(const char* face, int weight)
{
    static std::map<std::pair<std::string, int>, std::string> known;
    const auto key = std::make_pair(std::string(face), weight);
    auto found = known.find(key);
    if (found != known.end())
        return found->second;
    std::string file;
    if (FcInit()) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
        FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
                file = reinterpret_cast<const char*>(path);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    known[key] = file;
    return file;
}

#include "Hudba.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int VZORKOVANI = 22050;
constexpr double OSMINA = 0.25;  // 120 beats a minute
constexpr int TAKTU = 16;
constexpr double PI = 3.14159265358979323846;

double Frekvence(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

struct Nota {
    int midi;     // 0 is a rest
    int osminy;   // length in eighths
};

// F major: the chords of the sixteen bars, as root, third and fifth.
const int kAkordy[TAKTU][3] = {
    {53, 57, 60}, {50, 53, 57}, {46, 50, 53}, {48, 52, 55}, {53, 57, 60}, {45, 48, 52}, {46, 50, 53}, {48, 52, 55},
    {50, 53, 57}, {46, 50, 53}, {53, 57, 60}, {48, 52, 55}, {50, 53, 57}, {43, 46, 50}, {48, 52, 55}, {53, 57, 60}};

const std::vector<std::vector<Nota>> kMelodie = {
    {{69, 2}, {72, 2}, {77, 3}, {76, 1}}, {{74, 2}, {72, 2}, {69, 4}},
    {{70, 2}, {74, 2}, {77, 2}, {74, 2}}, {{72, 2}, {76, 2}, {79, 4}},
    {{77, 2}, {76, 1}, {74, 1}, {72, 2}, {69, 2}}, {{72, 2}, {76, 2}, {69, 4}},
    {{70, 2}, {72, 1}, {74, 1}, {77, 2}, {74, 2}}, {{72, 3}, {70, 1}, {67, 2}, {64, 2}},
    {{74, 2}, {77, 2}, {81, 3}, {79, 1}}, {{77, 2}, {74, 2}, {70, 4}},
    {{69, 2}, {72, 2}, {77, 2}, {69, 2}}, {{67, 2}, {72, 2}, {76, 4}},
    {{77, 2}, {74, 2}, {69, 2}, {74, 2}}, {{70, 2}, {74, 2}, {79, 3}, {77, 1}},
    {{76, 2}, {72, 2}, {67, 2}, {70, 2}}, {{69, 4}, {65, 2}, {0, 2}}};

// Everything is mixed into a ring, so notes that ring past the end carry
// over into the beginning and the loop has no seam.
class Kruh {
public:
    explicit Kruh(size_t frames) : left(frames, 0.0), right(frames, 0.0) {}

    template <typename Ton>
    void Pridej(double start, double length, double pan, Ton ton)
    {
        const size_t from = static_cast<size_t>(start * VZORKOVANI);
        const size_t count = static_cast<size_t>(length * VZORKOVANI);
        for (size_t i = 0; i < count; ++i) {
            const double v = ton(static_cast<double>(i) / VZORKOVANI);
            const size_t at = (from + i) % left.size();
            left[at] += v * (1 - pan);
            right[at] += v * pan;
        }
    }

    std::vector<double> left, right;
};

double Obalka(double t, double attack, double decay)
{
    return std::min(1.0, t / attack) * std::exp(-t / decay);
}

void Zapis16(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Zapis(std::vector<uint8_t>& out, const char* text)
{
    out.insert(out.end(), text, text + 4);
}

}  // namespace

bool ZahrajHudbu(const std::string& path)
{
    const double takt = 8 * OSMINA;
    const size_t frames = static_cast<size_t>(TAKTU * takt * VZORKOVANI);
    Kruh mix(frames);

    for (int bar = 0; bar < TAKTU; ++bar) {
        const double t0 = bar * takt;
        const int* chord = kAkordy[bar];
        // A soft pad holding the chord through the bar.
        for (int i = 0; i < 3; ++i) {
            const double f = Frekvence(chord[i] + 12);
            mix.Pridej(t0, takt + 0.6, 0.5, [f, takt](double t) {
                const double env = std::min(1.0, t / 0.35) * (t < takt ? 1.0 : std::exp(-(t - takt) / 0.15));
                return 0.045 * env * (std::sin(2 * PI * f * t) + 0.25 * std::sin(4 * PI * f * t + 0.3));
            });
        }
        // The bass on the first and the third beat.
        for (int beat : {0, 4}) {
            const double f = Frekvence(chord[0] - 12 * (chord[0] >= 50 ? 2 : 1) + 12);
            mix.Pridej(t0 + beat * OSMINA, 1.2, 0.5, [f](double t) {
                return 0.16 * Obalka(t, 0.01, 0.45) * (std::sin(2 * PI * f * t) + 0.3 * std::sin(4 * PI * f * t));
            });
        }
        // A quiet arpeggio in eighths.
        static const int pattern[8] = {0, 1, 2, 1, 0, 1, 2, 1};
        for (int e = 0; e < 8; ++e) {
            const double f = Frekvence(chord[pattern[e]] + 12);
            mix.Pridej(t0 + e * OSMINA, 0.6, 0.3, [f](double t) {
                return 0.05 * Obalka(t, 0.005, 0.18) * (std::sin(2 * PI * f * t) + 0.15 * std::sin(6 * PI * f * t));
            });
        }
        // The melody, a mallet-like tone.
        double at = t0;
        for (const Nota& nota : kMelodie[bar]) {
            if (nota.midi != 0) {
                const double f = Frekvence(nota.midi);
                const double length = nota.osminy * OSMINA;
                mix.Pridej(at, length + 0.8, 0.62, [f, length](double t) {
                    const double release = t < length ? 1.0 : std::exp(-(t - length) / 0.12);
                    return 0.2 * Obalka(t, 0.006, 0.55) * release *
                           (std::sin(2 * PI * f * t) + 0.28 * std::sin(6 * PI * f * t) * std::exp(-t / 0.08) +
                            0.12 * std::sin(4 * PI * f * t));
                });
            }
            at += nota.osminy * OSMINA;
        }
    }

    double peak = 0;
    for (size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    const double gain = peak > 0 ? 0.7 / peak : 0;  // well below full scale

    std::vector<uint8_t> samples;
    samples.reserve(frames * 4);
    for (size_t i = 0; i < frames; ++i) {
        Zapis16(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(mix.left[i] * gain * 32767))), 2);
        Zapis16(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(mix.right[i] * gain * 32767))), 2);
    }

    std::vector<uint8_t> info;
    Zapis(info, "INFO");
    Zapis(info, "INAM");
    const char name[] = "Ortelaky - hudba ke hre";
    Zapis16(info, sizeof name, 4);
    info.insert(info.end(), name, name + sizeof name);
    if (sizeof name % 2)
        info.push_back(0);

    std::vector<uint8_t> file;
    Zapis(file, "RIFF");
    Zapis16(file, static_cast<uint32_t>(4 + 8 + 16 + 8 + info.size() + 8 + samples.size()), 4);
    Zapis(file, "WAVE");
    Zapis(file, "fmt ");
    Zapis16(file, 16, 4);
    Zapis16(file, 1, 2);                      // PCM
    Zapis16(file, 2, 2);                      // stereo
    Zapis16(file, VZORKOVANI, 4);
    Zapis16(file, VZORKOVANI * 4, 4);
    Zapis16(file, 4, 2);
    Zapis16(file, 16, 2);
    Zapis(file, "LIST");
    Zapis16(file, static_cast<uint32_t>(info.size()), 4);
    file.insert(file.end(), info.begin(), info.end());
    Zapis(file, "data");
    Zapis16(file, static_cast<uint32_t>(samples.size()), 4);
    file.insert(file.end(), samples.begin(), samples.end());

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(file.data(), file.size(), 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}

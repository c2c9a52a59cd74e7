// The computer's move, one composed frame, the present of a frame and one
// game-screen step, each beside the cost of copying one 960,000-byte frame.
#include "board/HraciPole.h"
#include "graphics/DDScreen.h"
#include "platform/Clock.h"
#include "records/Score.h"
#include "shell/main.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

// A position without five in a row: marks scattered by a fixed generator.
void Rozhazej(CHraciPole& deska, int marks)
{
    deska.ClearHraciPole();
    uint32_t state = 12345;
    int placed = 0;
    while (placed < marks) {
        state = state * 1103515245u + 12345u;
        const int cell = static_cast<int>((state >> 8) % (HRACIPOLEX * HRACIPOLEY));
        const int x = cell % HRACIPOLEX, y = cell / HRACIPOLEX;
        if (deska.Pole[y][x] != 0)
            continue;
        deska.Pole.Nastav(x, y, placed % 2 + 1);
        if (deska.ZkontrolujJestliJeVyherce() > 0)
            deska.Pole.Nastav(x, y, 0);
        else
            ++placed;
    }
}

void Plna(CHraciPole& deska, int empty)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            deska.Pole.Nastav(x, y, (x / 2 + y) % 2 + 1);
    for (int i = 0; i < empty; ++i)
        deska.Pole.Nastav((i * 11) % HRACIPOLEX, (i * 7) % HRACIPOLEY, 0);
}

void BM_Memcpy960000(benchmark::State& state)
{
    std::vector<uint8_t> from(960000, 1), to(960000);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy960000);

// The computer's move from the same position again and again; taking its mark
// back is part of each round, as cheap as placing a mark.
void Tah(benchmark::State& state, CHraciPole& deska)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(deska.PutItemWithAI(2));
        deska.Pole.Nastav(deska.PosledniTahPC_X, deska.PosledniTahPC_Y, 0);
    }
}

void BM_PutItemWithAI_Empty(benchmark::State& state)
{
    CHraciPole deska;
    Tah(state, deska);
}
BENCHMARK(BM_PutItemWithAI_Empty)->Unit(benchmark::kMicrosecond);

void BM_PutItemWithAI_MidGame60(benchmark::State& state)
{
    CHraciPole deska;
    Rozhazej(deska, 60);
    Tah(state, deska);
}
BENCHMARK(BM_PutItemWithAI_MidGame60)->Unit(benchmark::kMicrosecond);

void BM_PutItemWithAI_Crowded600(benchmark::State& state)
{
    CHraciPole deska;
    Plna(deska, 76);
    Tah(state, deska);
}
BENCHMARK(BM_PutItemWithAI_Crowded600)->Unit(benchmark::kMicrosecond);

void BM_PutItemWithAI_NearFull670(benchmark::State& state)
{
    CHraciPole deska;
    Plna(deska, 6);
    Tah(state, deska);
}
BENCHMARK(BM_PutItemWithAI_NearFull670)->Unit(benchmark::kMicrosecond);

// The frame of the game screen: background and buttons, score, a keyed blit
// the size of the turn indicator, and every mark.
void Snimek(benchmark::State& state, bool full)
{
    CHPHraciPole.ClearHraciPole();
    if (full)
        Plna(CHPHraciPole, 0);
    for (auto _ : state) {
        DrawPozadi();
        Score.DrawScore(lpddsback);
        NaTahu(0);
        CHPHraciPole.DrawAllHraciPole(&lpddsback);
        benchmark::ClobberMemory();
    }
}

void BM_Frame_EmptyBoard(benchmark::State& state)
{
    Snimek(state, false);
}
BENCHMARK(BM_Frame_EmptyBoard)->Unit(benchmark::kMicrosecond);

void BM_Frame_FullBoard676(benchmark::State& state)
{
    Snimek(state, true);
}
BENCHMARK(BM_Frame_FullBoard676)->Unit(benchmark::kMicrosecond);

// The present path alone: every flip shows a wholly different picture (the
// two buffers hold the empty board and the title picture), converted and
// handed to the renderer.
void BM_Present_ChangedFrame(benchmark::State& state)
{
    const RECT screen{0, 0, SCREENWIDTH, SCREENHEIGHT};
    lpddsback->Blt(&screen, lpddsDeskaEmpty, &screen, DDBLT_WAIT, nullptr);
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
    lpddsback->Blt(&screen, lpddsUvodniOkno, &screen, DDBLT_WAIT, nullptr);
    for (auto _ : state) {
        lpddsprime->Flip(nullptr, DDFLIP_WAIT);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Present_ChangedFrame)->Unit(benchmark::kMicrosecond);

// One step of the game screen on a busy board with nobody clicking; the fake
// clock makes its pacing sleep cost nothing. The flip presents the frame.
void BM_GameLoopStep_BusyBoard(benchmark::State& state)
{
    FakeClock clock;
    Rozhazej(CHPHraciPole, 300);
    GameState = 2;
    PlayGame = 0;
    for (auto _ : state) {
        Game_Loop();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GameLoopStep_BusyBoard)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // The game's pictures, seen from the program's own folder, where the
    // board's files are written.
    std::filesystem::create_directory("data");
    for (const auto& file : std::filesystem::directory_iterator(GAME_DIR "/data"))
        std::filesystem::create_symlink(file.path(), "data" / file.path().filename());
    DD_Init();
    CHPHraciPole.InitHraciPole(lpdd);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CHPHraciPole.Destroy();
    DD_Done();
    return 0;
}

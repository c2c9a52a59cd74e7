#include "Browser.h"

#include <emscripten.h>

// Resolves at the browser's next animation frame; the game is suspended meanwhile.
EM_ASYNC_JS(void, NextAnimationFrame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});

void SleepInBrowser(uint32_t milliseconds)
{
    emscripten_sleep(milliseconds);
}

void WaitForBrowserFrame()
{
    NextAnimationFrame();
}

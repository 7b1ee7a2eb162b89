#include "progress.h"

#include <cstdio>

#include <SDL.h>
#include <unistd.h>

namespace {

const int BAR_WIDTH = 30;
const double REDRAW_S = 0.2;

}  // namespace

cProgress::cProgress(int64_t total_)
    : total(total_), live(isatty(fileno(stderr)) != 0), start_ticks(SDL_GetPerformanceCounter())
{
}

void cProgress::update(int64_t done)
{
    if (!live)
        return;
    const uint64_t now = SDL_GetPerformanceCounter();
    if (static_cast<double>(now - last_print) / static_cast<double>(SDL_GetPerformanceFrequency()) < REDRAW_S)
        return;
    last_print = now;
    print(done);
}

void cProgress::done(int64_t done)
{
    if (printed >= 0)
        std::fputc('\n', stderr);
    const double seconds = elapsed_s();
    std::fprintf(stderr, "quorvane-capture: %lld frames in %.1f s (%.2f fps)\n", static_cast<long long>(done),
                 seconds, seconds > 0 ? static_cast<double>(done) / seconds : 0.0);
}

double cProgress::elapsed_s() const
{
    return static_cast<double>(SDL_GetPerformanceCounter() - start_ticks) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

void cProgress::print(int64_t done)
{
    const double seconds = elapsed_s();
    const double fps = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const int64_t left = fps > 0 ? static_cast<int64_t>(static_cast<double>(total - done) / fps) : 0;
    char bar[BAR_WIDTH + 1];
    const int64_t filled = total > 0 ? done * BAR_WIDTH / total : 0;
    for (int i = 0; i < BAR_WIDTH; ++i)
        bar[i] = i < filled ? '#' : '-';
    bar[BAR_WIDTH] = '\0';
    std::fprintf(stderr, "\r[%s] %lld/%lld frames  %.2f fps  %lld:%02lld left ", bar, static_cast<long long>(done),
                 static_cast<long long>(total), fps, static_cast<long long>(left / 60),
                 static_cast<long long>(left % 60));
    printed = done;
}

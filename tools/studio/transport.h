#pragma once
// Play, pause and seek for the studio. The transport steers the scene
// manager's demo clock and music, which stay the manager's; it is made once
// the demo is initialised and lives until the program ends. Its position is
// the music's time: after seek(t) it reads t, the picture being one output
// latency behind as in the show. The bar length comes from the tempo of the
// MIDI twin of the music, the sections from the marker script's events in
// the manager's queue; both are read once.
#include <cstdint>
#include <string>
#include <vector>

#include "demo_clock.h"

class cMidiFile;
class cEventQueue;
class cSceneManager;

struct cStudioSection {
    int32_t time;    // demo time of the marker (ms)
    int32_t number;  // 0 for "s00" ... 21 for "s21"
};

struct cStudioTiming {
    double bar_ms = 0;                      // one 4/4 bar at the file's tempo (ms); 0: no tempo
    std::vector<cStudioSection> sections;   // section markers, by time
    int32_t end_ms = 0;                     // end of the show: its quit marker, else the music's end
};

// Four quarter notes at the file's tempo; 0 when the file has none.
double bar_ms_of(const cMidiFile& midi);
// Section markers and the end of the show from a queue holding the marker
// script's events; music_ms stands in for a missing end marker.
cStudioTiming timing_of(const cEventQueue& queue, double bar_ms, int32_t music_ms);
// Bar line k lies at trunc(k * bar_ms), where beat 4k fires. The first line
// after t (direction > 0) or the last one before it (direction < 0).
int32_t bar_step(int32_t t, double bar_ms, int direction);
// The first marker after t or the last one before it; t without one.
int32_t section_step(int32_t t, const std::vector<cStudioSection>& sections, int direction);
// "s03" for the section t lies in, "--" before the first.
std::string section_name(int32_t t, const std::vector<cStudioSection>& sections);

// The demo clock's time source in the studio: the performance counter, held
// short of the end of the show so that the end marker (which ends the show)
// never fires and the transport can stop or loop there instead.
class cStudioTimeSource : public iTimeSource {
public:
    int32_t now_ms() override;

    const cDemoClock* clock = nullptr;  // the clock this source drives, not owned
    int32_t last_elapsed = 0;           // latest demo time (ms) the clock may reach
};

class cStudioTransport {
public:
    cStudioTransport(cSceneManager& manager_, const cStudioTiming& timing_);
    ~cStudioTransport();
    cStudioTransport(const cStudioTransport&) = delete;
    cStudioTransport& operator=(const cStudioTransport&) = delete;

    // Music time (ms).
    int32_t position() const;
    bool paused() const;
    // Clock and music stop together, and go on together from where they stopped.
    void pause();
    void resume();
    void toggle_pause();
    // Moves clock, event cursor and music to t, held inside the show;
    // events up to t are skipped. While paused the animators show t at once.
    void seek(int32_t t);
    void step_ms(int32_t delta);
    void step_bar(int direction);
    void step_section(int direction);
    // Once per frame before the manager's update: back to the loop's start
    // at its end, and a stop at the end of the show.
    void frame();
    // Plays [a, b) again and again; a >= b switches the loop off.
    void set_loop(int32_t a, int32_t b);

    cSceneManager& manager;        // owns clock, queue and music
    cStudioTiming timing;
    cStudioTimeSource source;      // installed on the manager's clock for the transport's life
    int32_t latency_ms = 0;        // the music's output latency, read once
    int32_t loop_a = 0;            // loop range (ms); loop_b <= loop_a: no loop
    int32_t loop_b = 0;
};

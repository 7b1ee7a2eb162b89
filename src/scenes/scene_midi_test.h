#pragma once
// The MIDI view: the show's instrument for checking sync. A piano roll of
// every MIDI track scrolls past a "now" line, one lane per track named from
// the MIDI file; the notes come from the scene manager's event queue, so
// the roll shows what is due whether or not it arrives. What does arrive
// through handle_event lights up: the note turns bright and its lane
// flashes in the very frame its event reaches the scene, and a note that
// has passed the line without its event stays red. Beats tick along the
// top, controller moves draw curves in their track's lane.
//
// The scene keeps a fixed ring of the events that arrived and fixed scratch
// arrays; the lane labels are made once, by the first load() or update()
// that finds the queue's track names, and live as long as the scene.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "events.h"
#include "scenes/scene.h"
#include "values/gui_label.h"

class cSceneMidiTest : public cScene {
public:
    // Builds the slider table; makes no GL object.
    explicit cSceneMidiTest(cDemoClock* clock_);

    std::string get_name() override { return "miditest"; }
    // Makes the lane labels when the queue already holds the track names.
    void load() override;
    // Notes, controller moves and beats that reach the scene are recorded,
    // with the demo time they arrived.
    void handle_event(cEvent* e) override;
    // Makes the lane labels if load() came before the queue.
    bool update() override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int MAX_TRACKS = 32;       // lanes drawn at most
    static constexpr size_t RING = 1024;        // arrivals remembered
    static constexpr float NOW_X = 0.35f;       // x of the now line, screen units
    static constexpr float LABEL_W = 0.15f;     // width of the label column
    static constexpr float LANES_TOP = 0.94f;   // the beat strip is above
    static constexpr float FLASH_MS = 150.0f;   // how long a lane stays lit

    // One event that reached the scene.
    struct cArrival {
        const cEvent* event = nullptr;  // the queue's event; only compared, never read after the queue goes
        int32_t at_ms = -1;             // demo time it arrived
    };

    float ahead_ms = 3000.0f;  // "ahead": ms of the future between the now line and the right edge

    std::array<cArrival, RING> arrivals{};       // ring of arrivals, newest at arrival_count - 1
    size_t arrival_count = 0;                    // arrivals so far
    std::array<int32_t, MAX_TRACKS> lane_lit{};  // demo time of the last note-on arrival per track
    std::vector<cGuiTxtLabel> labels;            // one per track name
    bool labels_made = false;                    // labels hold the queue's names

private:
    // The queue's events on screen: indices [first, last).
    struct cShown {
        size_t first;  // the first at or after the left edge
        size_t last;   // one past the last at or before the right edge
    };

    void make_labels();
    float x_of(int32_t t_ms, int32_t now_ms) const;
    bool arrived(const cEvent* e, int32_t now_ms) const;
    void draw_lanes(int lanes, int32_t now_ms) const;
    void draw_notes(const cEventQueue& q, cShown shown, int lanes, int32_t now_ms) const;
    void draw_controllers(const cEventQueue& q, cShown shown, int lanes, int32_t now_ms);
    void draw_beats(const cEventQueue& q, cShown shown, int32_t now_ms) const;
    void draw_labels(int lanes);

    // Last point of each (track, controller) curve while one frame draws.
    std::array<std::array<float, 128>, MAX_TRACKS> curve_x{};
    std::array<std::array<float, 128>, MAX_TRACKS> curve_y{};
};

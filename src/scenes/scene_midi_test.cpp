#include "scenes/scene_midi_test.h"

#include <algorithm>
#include <cmath>

#include "events.h"
#include "gl.h"
#include "midi_events.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: data, events, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr int DEFAULT_LANES = 16;       // lanes when the queue names no track
constexpr int LOWEST_NOTE = 24;         // bottom of a lane
constexpr int HIGHEST_NOTE = 100;       // top of a lane
constexpr size_t NOTE_OFF_SEARCH = 256; // events searched for a note's end
constexpr float SHORTEST_NOTE_MS = 60;  // a note without an end in reach is drawn this long

struct cRgb {
    float r, g, b;
};

// A colour of its own per track: hues spread round the wheel.
cRgb track_colour(int track)
{
    const float h = std::fmod(static_cast<float>(track) * 0.618034f, 1.0f) * 6.0f;
    const float x = 1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f);
    const int sector = static_cast<int>(h);
    constexpr float lo = 0.25f;
    const float mid = lo + (1.0f - lo) * x;
    switch (sector) {
    case 0: return {1.0f, mid, lo};
    case 1: return {mid, 1.0f, lo};
    case 2: return {lo, 1.0f, mid};
    case 3: return {lo, mid, 1.0f};
    case 4: return {mid, lo, 1.0f};
    default: return {1.0f, lo, mid};
    }
}

// The MIDI event behind e when it is one of `kind` on a track that has a lane.
const iMidiEvent* midi_in_lanes(const cEvent* e, int32_t kind, int lanes)
{
    if (!e || e->type != EVENT_MIDI)
        return nullptr;
    const auto* m = dynamic_cast<const iMidiEvent*>(e);
    return m && m->kind == kind && m->track >= 0 && m->track < lanes ? m : nullptr;
}

void quad(float x0, float y0, float x1, float y1)
{
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

}  // namespace

cSceneMidiTest::cSceneMidiTest(cDemoClock* clock_) : cScene(clock_)
{
    sliders = {{"ahead", &ahead_ms, 500, 10000}};
    lane_lit.fill(-1000000);
}

// ---- events ----------------------------------------------------------------------

void cSceneMidiTest::make_labels()
{
    const cEventQueue* q = events;
    if (labels_made || !q || q->track_names.empty())
        return;
    labels_made = true;
    const size_t n = std::min(q->track_names.size(), static_cast<size_t>(MAX_TRACKS));
    labels.resize(n);
    for (size_t i = 0; i < n; ++i) {
        labels[i].reset();
        labels[i].text = std::to_string(i) + " " + q->track_names[i];
    }
}

void cSceneMidiTest::load()
{
    make_labels();
}

bool cSceneMidiTest::update()
{
    make_labels();
    return cScene::update();
}

void cSceneMidiTest::handle_event(cEvent* e)
{
    arrivals[arrival_count % RING] = {e, now()};
    ++arrival_count;
    if (const iMidiEvent* note = midi_in_lanes(e, MIDI_NOTE_ON, MAX_TRACKS))
        lane_lit[static_cast<size_t>(note->track)] = now();
}

// Arrivals are searched from the newest back to those older than anything
// still on screen.
bool cSceneMidiTest::arrived(const cEvent* e, int32_t now_ms) const
{
    const size_t n = std::min(arrival_count, RING);
    for (size_t k = 1; k <= n; ++k) {
        const cArrival& a = arrivals[(arrival_count - k) % RING];
        if (a.event == e)
            return true;
        if (static_cast<float>(now_ms - a.at_ms) > ahead_ms * 2.0f)
            return false;
    }
    return false;
}

// ---- render ----------------------------------------------------------------------

// The past runs from the label column to the now line at the same scale as
// the future from the line to the right edge.
float cSceneMidiTest::x_of(int32_t t_ms, int32_t now_ms) const
{
    return NOW_X + static_cast<float>(t_ms - now_ms) * (1.0f - NOW_X) / ahead_ms;
}

cTmpRenderTarget cSceneMidiTest::render(int32_t time_ms)
{
    cShaderManager_GLSL::get_instance()->unbind();
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    glClearColor(0.03f, 0.03f, 0.05f, 1.0f);
    picture->bind(true);
    begin_screen_space();
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(false);
    state->set_cull(false);
    state->apply();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);

    const cEventQueue* q = events;
    const int lanes = q && !q->track_names.empty()
                          ? std::min(static_cast<int>(q->track_names.size()), MAX_TRACKS)
                          : DEFAULT_LANES;
    draw_lanes(lanes, time_ms);
    if (q) {
        const int32_t past_ms = static_cast<int32_t>((NOW_X - LABEL_W) / (1.0f - NOW_X) * ahead_ms);
        const auto first = std::lower_bound(q->events.begin(), q->events.end(), time_ms - past_ms,
                                            [](const cEvent* e, int32_t t) { return e->time < t; });
        const auto last = std::upper_bound(first, q->events.end(), time_ms + static_cast<int32_t>(ahead_ms),
                                           [](int32_t t, const cEvent* e) { return t < e->time; });
        const cShown shown{static_cast<size_t>(first - q->events.begin()), static_cast<size_t>(last - q->events.begin())};
        draw_beats(*q, shown, time_ms);
        draw_notes(*q, shown, lanes, time_ms);
        draw_controllers(*q, shown, lanes, time_ms);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex2f(NOW_X, 0.0f);
    glVertex2f(NOW_X, 1.0f);
    glEnd();
    draw_labels(lanes);
    end_screen_space();
    picture->unbind();
    return picture;
}

// Alternating lane shades, each with a lamp in its track's colour left of
// the roll; lamp and lane light up while a note of the track arrives.
void cSceneMidiTest::draw_lanes(int lanes, int32_t now_ms) const
{
    const float h = LANES_TOP / static_cast<float>(lanes);
    glBegin(GL_QUADS);
    for (int i = 0; i < lanes; ++i) {
        const float age = static_cast<float>(now_ms - lane_lit[static_cast<size_t>(i)]);
        const float flash = age >= 0.0f && age < FLASH_MS ? 1.0f - age / FLASH_MS : 0.0f;
        const cRgb c = track_colour(i);
        const float base = i % 2 ? 0.07f : 0.1f;
        const float top = LANES_TOP - h * static_cast<float>(i);
        glColor4f(base + 0.25f * flash * c.r, base + 0.25f * flash * c.g, base + 0.25f * flash * c.b, 1.0f);
        quad(LABEL_W, top - h, 1.0f, top);
        const float lamp = 0.25f + 0.75f * flash;
        glColor4f(lamp * c.r, lamp * c.g, lamp * c.b, 1.0f);
        quad(LABEL_W - 0.012f, top - h * 0.8f, LABEL_W - 0.004f, top - h * 0.2f);
    }
    glEnd();
}

// Future notes dim in their track's colour; a note whose event arrived
// bright; a note past the line whose event never came red.
void cSceneMidiTest::draw_notes(const cEventQueue& q, cShown shown, int lanes, int32_t now_ms) const
{
    const float h = LANES_TOP / static_cast<float>(lanes);
    glBegin(GL_QUADS);
    for (size_t i = shown.first; i < shown.last; ++i) {
        const cEvent* e = q.events[i];
        const iMidiEvent* note = midi_in_lanes(e, MIDI_NOTE_ON, lanes);
        if (!note)
            continue;
        int32_t end = e->time + static_cast<int32_t>(SHORTEST_NOTE_MS);
        for (size_t j = i + 1; j < q.events.size() && j < i + NOTE_OFF_SEARCH; ++j)
            if (const iMidiEvent* off = midi_event(q.events[j], MIDI_NOTE_OFF, note->track);
                off && off->number == note->number) {
                end = std::max(end, off->time);
                break;
            }
        const float pitch =
            static_cast<float>(std::clamp(note->number, LOWEST_NOTE, HIGHEST_NOTE) - LOWEST_NOTE) /
            static_cast<float>(HIGHEST_NOTE - LOWEST_NOTE);
        const float lane_top = LANES_TOP - h * static_cast<float>(note->track);
        const float y = lane_top - h * (0.9f - 0.8f * pitch);
        const cRgb c = track_colour(note->track);
        if (arrived(e, now_ms))
            glColor4f(0.5f + 0.5f * c.r, 0.5f + 0.5f * c.g, 0.5f + 0.5f * c.b, 1.0f);
        else if (e->time <= now_ms)
            glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        else
            glColor4f(0.45f * c.r, 0.45f * c.g, 0.45f * c.b, 1.0f);
        quad(std::max(x_of(e->time, now_ms), LABEL_W), y - std::max(h * 0.08f, 0.003f),
             std::max(x_of(end, now_ms), LABEL_W), y);
    }
    glEnd();
}

// Each (track, controller) pair is a polyline through its values, 0 at the
// bottom of the lane and 127 at its top.
void cSceneMidiTest::draw_controllers(const cEventQueue& q, cShown shown, int lanes, int32_t now_ms)
{
    for (auto& row : curve_x)
        row.fill(-1.0f);
    const float h = LANES_TOP / static_cast<float>(lanes);
    glColor4f(1.0f, 0.9f, 0.3f, 1.0f);
    glBegin(GL_LINES);
    for (size_t i = shown.first; i < shown.last; ++i) {
        const cEvent* e = q.events[i];
        const float x = x_of(e->time, now_ms);
        const iMidiEvent* cc = midi_in_lanes(e, MIDI_CONTROL_CHANGE, lanes);
        if (!cc || cc->number < 0 || cc->number > 127)
            continue;
        const size_t t = static_cast<size_t>(cc->track), n = static_cast<size_t>(cc->number);
        const float y = LANES_TOP - h * static_cast<float>(cc->track + 1) + h * static_cast<float>(cc->value) / 127.0f;
        if (curve_x[t][n] >= 0.0f) {
            glVertex2f(std::max(curve_x[t][n], LABEL_W), curve_y[t][n]);
            glVertex2f(std::max(x, LABEL_W), y);
        }
        curve_x[t][n] = x;
        curve_y[t][n] = y;
    }
    glEnd();
}

// A tick per beat along the top; beats that arrived are white.
void cSceneMidiTest::draw_beats(const cEventQueue& q, cShown shown, int32_t now_ms) const
{
    glBegin(GL_LINES);
    for (size_t i = shown.first; i < shown.last; ++i) {
        const cEvent* e = q.events[i];
        if (e->type != EVENT_BEAT)
            continue;
        const float x = x_of(e->time, now_ms);
        const float lit = arrived(e, now_ms) ? 1.0f : 0.4f;
        glColor4f(lit, lit, lit, 1.0f);
        glVertex2f(std::max(x, LABEL_W), LANES_TOP + 0.01f);
        glVertex2f(std::max(x, LABEL_W), 1.0f);
    }
    glEnd();
}

void cSceneMidiTest::draw_labels(int lanes)
{
    const float h = LANES_TOP / static_cast<float>(lanes);
    for (size_t i = 0; i < labels.size() && static_cast<int>(i) < lanes; ++i) {
        glColor4f(0.85f, 0.85f, 0.85f, 1.0f);
        labels[i].set_pos(0.005f, LANES_TOP - h * static_cast<float>(i + 1) + h * 0.25f);
        labels[i].draw();
    }
}

// quorvane-inspect: shows what the demo makes of its MIDI file, its marker
// script and its models, through the same readers and with the same warnings.
//   quorvane-inspect midi FILE      header, tempo, per-track counts, beat grid
//   quorvane-inspect notes FILE     every note-on the demo fires: ms, track, note
//   quorvane-inspect markers FILE   the events the script yields
//   quorvane-inspect model FILE     vertices, triangles, groups, materials,
//                                   flags and bounds of an .obj or .bzobj
// A model the reader refuses ends the tool with the reader's message and
// exit code, as it would end the demo. No display is needed: the model is
// read into the CPU-side mesh data, never uploaded.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "event_script.h"
#include "mesh_files/bzobj.h"
#include "mesh_files/mesh_manager.h"
#include "mesh_files/obj/obj_loader.h"
#include "midi_events.h"
#include "midi_file.h"
#include "version.h"

namespace {

struct cTrackSummary {
    int note_ons = 0;
    int note_offs = 0;
    int controllers = 0;
    int32_t first_note = -1;  // ms of the first queued note-on, -1 without one
    int32_t last_note = -1;   // ms of the last queued note-on
};

void summarise(const cEventQueue& queue, std::map<int32_t, cTrackSummary>& tracks, int& beats)
{
    for (const cEvent* e : queue.events) {
        if (e->type == EVENT_BEAT) {
            ++beats;
            continue;
        }
        const auto* m = dynamic_cast<const iMidiEvent*>(e);
        if (!m)
            continue;
        cTrackSummary& t = tracks[m->track];
        if (m->kind == MIDI_NOTE_ON) {
            ++t.note_ons;
            if (t.first_note < 0)
                t.first_note = m->time;
            t.last_note = m->time;
        } else if (m->kind == MIDI_NOTE_OFF) {
            ++t.note_offs;
        } else {
            ++t.controllers;
        }
    }
}

int inspect_midi(const std::string& path)
{
    auto bytes = read_midi_bytes(path);
    if (!bytes) {
        std::cerr << "cannot open " << path << std::endl;
        return 2;
    }
    cMidiFile midi(std::move(*bytes));
    midi.read_tracks();
    std::cout << "format " << midi.format << ", " << midi.num_tracks << " tracks, division " << midi.division
              << ", " << midi.length_ticks << " ticks\n";
    if (midi.seconds_per_tick > 0 && midi.division > 0)
        std::cout << "tempo " << 60.0 / (midi.division * midi.seconds_per_tick) << " bpm, "
                  << midi.seconds_per_tick * 1e6 << " us per tick\n";

    // The queue the demo would build, sorted the way it fires.
    cEventQueue queue;
    add_midi_and_beat_events(queue, path);
    std::map<int32_t, cTrackSummary> tracks;
    int beats = 0;
    summarise(queue, tracks, beats);
    for (size_t i = 0; i < queue.track_names.size(); ++i) {
        const cTrackSummary& t = tracks[static_cast<int32_t>(i)];
        std::printf("track %2zu %-24s on %5d  off %5d  ctrl %5d  notes %d..%d ms\n", i,
                    ("\"" + queue.track_names[i] + "\"").c_str(), t.note_ons, t.note_offs, t.controllers,
                    t.first_note, t.last_note);
    }
    std::cout << "controllers:";
    for (int32_t c : queue.controllers)
        std::cout << " " << c;
    std::cout << "\nbeat grid: " << beats << " beats";
    if (beats > 0)
        std::cout << ", last at " << queue.events.back()->time << " ms";
    std::cout << std::endl;
    return 0;
}

// One line per queued note-on, in firing order, for scripts that line the
// picture up with the music.
int inspect_notes(const std::string& path)
{
    cEventQueue queue;
    add_midi_and_beat_events(queue, path);
    if (queue.events.empty()) {
        std::cerr << "no events read from " << path << std::endl;
        return 2;
    }
    for (const cEvent* e : queue.events)
        if (const auto* m = dynamic_cast<const iMidiEvent*>(e); m && m->kind == MIDI_NOTE_ON)
            std::printf("%d %d %d\n", m->time, m->track, m->number);
    return 0;
}

int inspect_markers(const std::string& path)
{
    std::unique_ptr<cEventQueue> queue(cEventQueue_factory::loadFile(path));
    if (!queue)
        return 2;  // the reader has said why
    for (const cEvent* e : queue->events)
        std::cout << e->type << " " << e->time << "\n";
    std::cout << queue->events.size() << " events" << std::endl;
    return 0;
}

void print_flags(uint8_t flags)
{
    std::printf("flags 0x%02x:%s%s%s\n", flags, (flags & MESH_TEXCOORDS) ? " texcoords" : "",
                (flags & MESH_NORMALS) ? " normals" : "", (flags & MESH_GROUPS) ? " per-group" : "");
}

void print_bounds(const std::vector<float>& positions)
{
    if (positions.empty()) {
        std::cout << "bounds: none\n";
        return;
    }
    float lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = hi[c] = positions[c];
        for (size_t i = c; i < positions.size(); i += 3) {
            lo[c] = std::min(lo[c], positions[i]);
            hi[c] = std::max(hi[c], positions[i]);
        }
    }
    std::printf("bounds %g %g %g .. %g %g %g\n", lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

void print_material(size_t i, const cMaterial& m)
{
    std::printf("material %zu \"%s\": illum %d, Ka %g %g %g, Kd %g %g %g, Ks %g %g %g, Ns %g, d %g\n", i,
                m.name.c_str(), m.illum, m.Ka[0], m.Ka[1], m.Ka[2], m.Kd[0], m.Kd[1], m.Kd[2], m.Ks[0], m.Ks[1],
                m.Ks[2], m.Ns, m.d);
    const std::pair<const char*, const std::string*> maps[] = {
        {"map_Ka", &m.map_Ka}, {"map_Kd", &m.map_Kd}, {"map_Ks", &m.map_Ks}, {"map_d", &m.map_d}, {"bump", &m.bump}};
    for (const auto& [what, file] : maps)
        if (!file->empty())
            std::printf("  %s \"%s\"\n", what, file->c_str());
}

int inspect_model(const std::string& path)
{
    const std::string ext = mesh_extension(path);
    cMeshObj_data mesh;
    if (ext == "obj")
        obj_load_by_name(path, mesh);
    else if (ext == "bzobj")
        bobj_load_by_name(path, mesh);
    else {
        std::cerr << "no reader for \"" << path << "\" (only .obj and .bzobj files are read)" << std::endl;
        return 2;
    }
    std::cout << "model " << path << "\n";
    print_flags(mesh.flags);
    std::cout << "vertices " << mesh.vertex_count() << ", triangles " << mesh.indices.size() / 3 << "\n";
    print_bounds(mesh.positions);
    for (size_t g = 0; g + 1 < mesh.groups.size(); ++g) {
        const cMeshGroup& group = mesh.groups[g];
        std::printf("group %zu: from index %d, %d triangles, material %d\n", g, group.first_index,
                    (mesh.groups[g + 1].first_index - group.first_index) / 3, group.material);
    }
    for (size_t i = 0; i < mesh.materials.size(); ++i)
        print_material(i, mesh.materials[i]);
    const std::string problem = mesh.check();
    if (!problem.empty())
        std::cout << "inconsistent: " << problem << "\n";
    std::cout.flush();
    return problem.empty() ? 0 : 1;
}

const char* const USAGE = "usage: quorvane-inspect midi FILE | notes FILE | markers FILE | model FILE | --help | --version\n";

const char* const HELP =
    "\n"
    "  midi FILE     header, tempo, per-track counts and the beat grid\n"
    "  notes FILE    every note-on the demo fires: ms, track, note\n"
    "  markers FILE  the events a marker script yields, with the demo's warnings\n"
    "  model FILE    flags, vertices, triangles, bounds, groups and materials\n"
    "                of an .obj or .bzobj\n"
    "\n"
    "exit status: 0 done; 1 an inconsistent model or an invalid MIDI file;\n"
    "2 bad options or a file that cannot be read; 255 a model the demo's reader\n"
    "refuses (with the reader's message).\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << version_line("quorvane-inspect") << "\n";
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::cout << USAGE << HELP;
        return 0;
    }
    const std::string what = argc == 3 ? argv[1] : "";
    if (what == "midi")
        return inspect_midi(argv[2]);
    if (what == "notes")
        return inspect_notes(argv[2]);
    if (what == "markers")
        return inspect_markers(argv[2]);
    if (what == "model")
        return inspect_model(argv[2]);
    std::cerr << USAGE << std::flush;
    return 2;
}

#pragma once
// The flower field: a low flight at night over a meadow of luminous
// flowers. One generated patch of about three hundred flowers (ground,
// stems and leaves in one model, the translucent heads open and closed in
// two more) is repeated to fill the field; the sine-wave program sways the
// stems in waves of wind that roll across the field and lights their
// crests. Plucks and claps brighten the heads for a moment and send a ring
// of light through the drifting pollen (a static buffer of billboards,
// drawn with the particle light program). The meshes and textures belong to
// the caches, the pollen buffer to the scene; all are made by the first
// load(). render() draws into a pooled target that stays transparent where
// no ground is (the sky), then adds a soft glow.
#include <cstdint>
#include <string>

#include "gl.h"
#include "post/post_glow.h"
#include "scenes/scene.h"
#include "texture_manager.h"

class iMesh;
class cShdSinewaves;
class cShdParticleLight;

class cSceneFlowerField : public cScene {
public:
    // Builds the tables; makes no GL object.
    explicit cSceneFlowerField(cDemoClock* clock_);
    // Deletes the pollen buffer.
    ~cSceneFlowerField() override;

    std::string get_name() override { return "flowerfield"; }
    // Fetches meshes, textures and programs and fills the pollen buffer;
    // a second call changes nothing.
    void load() override;
    // Plucks (track 2) and claps (track 4) light the flowers up.
    void handle_event(cEvent* e) override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int PLUCK_TRACK = 2;
    static constexpr int CLAP_TRACK = 4;
    static constexpr float PATCH = 96.0f;     // side of the patch models, world units (z up)
    static constexpr int POLLEN = 600;        // pollen grains per patch

    // 0-1: how much the last pluck or clap still lights the heads at t.
    float flash_at(int32_t time_ms) const;

    int cur_config = 1;            // "cur_config": 1 dusk (the build-up), 2 moonlit (the breakdown)
    float cur_t = 1.0f;            // "cur_t": place along the flight, 1 start .. 0 end
    float lighten_strength = 1.0f; // "lighten_strength": wave-crest light and glow, 0-3
    float fov = 60.0f;             // "fov": vertical field of view, degrees
    float outtro_t = 0.0f;         // "outtro_t": 0 the field .. 1 heads closed, light gone, transparent
    cCutParams glow{RTT_QUATER, 150.0f, 200.0f};  // soft glow of the heads

    int32_t pluck_ms = -100000;  // demo time of the last pluck
    int32_t clap_ms = -100000;   // demo time of the last clap
    iMesh* stems = nullptr;      // ground, stems, leaves; mesh cache's
    iMesh* heads_open = nullptr;   // mesh cache's
    iMesh* heads_closed = nullptr; // same vertices as heads_open, petals folded up; mesh cache's
    cTexture stem_texture;       // "flower_stems.png"
    cTexture petal_texture;      // "flower_petals.png"
    GLuint pollen_buffer = 0;    // POLLEN billboards of four corners, owned

private:
    struct cTile {
        float x, y;  // world position of the patch's corner
    };
    static constexpr int MAX_TILES = 64;

    void fill_pollen();
    void place_camera(float seconds);
    void collect_tiles();
    void set_state(bool fog, const float* fog_colour);
    void draw_field(float seconds, float flash);
    void draw_patches(iMesh* mesh);
    void draw_haze();
    void draw_heads(float seconds, float flash);
    void draw_pollen(float seconds, float flash);

    cShdSinewaves* waves = nullptr;       // shader manager's
    cShdParticleLight* pollen = nullptr;  // shader manager's
    cTile tiles[MAX_TILES] = {};          // patches in view this frame
    int tile_count = 0;
};

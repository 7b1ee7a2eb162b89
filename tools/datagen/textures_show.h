#pragma once
// The show's pictures beyond the loading screen: the GUI font, sprites,
// logo, mandala tunnel pictures and lookups, and the textures that the card
// models' materials name. A second entry of the texture family; each writer
// draws its files into data/textures and reports whether they were saved.
#include <string>

#include "canvas.h"

bool write_show_textures(const std::string& dir);

bool write_fontlist(const std::string& dir);         // fontlist.png
bool write_sprites(const std::string& dir);          // particleglow.jpg, dodgecircle.jpg, morvik_fz2009.jpg
bool write_mandala_textures(const std::string& dir); // Mandala_slices.png, mandala_string.jpg, mandalogo.jpg, lookups
bool write_card_textures(const std::string& dir);    // greetings and title card pictures
bool write_flower_textures(const std::string& dir);  // flower_petals.png, flower_stems.png
bool write_mushroom_textures(const std::string& dir);  // mushroom_glow.png, mushroom_rock.jpg
bool write_ganesh_textures(const std::string& dir);  // ganesh_stone.png, ganesh_shine.png (models_ganesh.cpp)

// The program's desktop icon, 256 x 256 RGBA PNG, written to `path`.
bool write_icon(const std::string& path);

// Shared by the writers above.
bool save_texture(const cCanvas& canvas, const std::string& dir, const std::string& name, const cSaveOptions& options);
// Additive light as straight RGBA: alpha is the brightest tone-mapped
// channel, so alpha blending over a picture matches adding the light to it.
cColor light_to_rgba(const cColor& light);
// Fills every pixel from fn(x, y) (pixel centres), tone-mapped for 24-bit
// canvases and through light_to_rgba for 32-bit ones.
template <typename F>
void paint(cCanvas& canvas, F fn)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const cColor c = fn(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            canvas.at(x, y) = canvas.bpp == 32 ? light_to_rgba(c) : tone_map(c);
        }
}

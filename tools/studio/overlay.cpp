#include "overlay.h"

#include <iterator>

#include "gl.h"
#include "screen_space.h"
#include "state_manager.h"
#include "values/gui_var_list.h"

// Only letters, digits and - . : , ( ) are in the font.
const char* const STUDIO_KEYS[] = {
    "space        pause, play",
    "left right   a second back, on",
    "shift arrow  a bar back, on",
    "pgup pgdn    a section back, on",
    "home         to the start",
    "tab          tweak list",
    "1-9          the n-th layer alone",
    "0, backquote every layer",
    "h            hold the layers values",
    "p            print timeline lines",
    "f1           this help",
    "esc, q       quit",
};
const int STUDIO_KEY_LINES = static_cast<int>(std::size(STUDIO_KEYS));

namespace {

const float LINE = 0.03f;  // line pitch, screen units

// A dark band behind a line of text so that it reads over any picture.
void shade(float x0, float y0, float x1, float y1)
{
    gui_color({0, 0, 0, 0.6f});
    gui_quad(x0, y0, x1, y1);
}

}  // namespace

void cStudioOverlay::draw(cGuiVarList* list, bool show_help)
{
    begin_screen_space();
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    state->apply();
    if (list)
        list->draw();

    const float top = 1.0f - LINE;
    shade(0.0f, top - 0.005f, 1.0f, 1.0f);
    glColor4f(1, 1, 1, 1);
    status.set_pos(0.01f, top);
    status.draw();
    if (!message.text.empty()) {
        shade(0.0f, 0.0f, 1.0f, LINE + 0.005f);
        glColor4f(1, 0.9f, 0.5f, 1);
        message.set_pos(0.01f, 0.008f);
        message.draw();
    }
    if (show_help) {
        const float y0 = top - LINE * static_cast<float>(STUDIO_KEY_LINES + 1);
        shade(0.44f, y0, 0.99f, top - LINE * 0.5f);
        glColor4f(1, 1, 1, 1);
        for (int i = 0; i < STUDIO_KEY_LINES; ++i) {
            help.text = STUDIO_KEYS[i];
            help.set_pos(0.45f, top - LINE * static_cast<float>(i + 2));
            help.draw();
        }
    }
    end_screen_space();
}

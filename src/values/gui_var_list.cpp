#include "values/gui_var_list.h"

#include <cmath>

#include "gl.h"
#include "state_manager.h"
#include "values/mouse.h"

namespace {

constexpr float NAME_TO_VALUE = 0.15f;  // value text, right of the name
constexpr float NAME_TO_NODE = 0.2f;    // slider, right of the name
constexpr cGuiColor GRAB_HIGHLIGHT{1, 1, 1, 0.45f};
constexpr cGuiColor VALUE_TEXT{1, 1, 1, 0.85f};

template <typename T>
cVar<T>* as(iVar* var)
{
    return dynamic_cast<cVar<T>*>(var);
}

bool is_slider(iGuiNode* node)
{
    return dynamic_cast<cGuiSlider*>(node) || dynamic_cast<cGuiVec3Slider*>(node);
}

bool any_button_held()
{
    const cMouse* mouse = cMouse::get_instance();
    for (int b = 1; b < cMouse::BUTTONS; ++b)
        if (mouse->held[b])
            return true;
    return false;
}

// The single slider under the pointer: the node itself or one of a Vec3's.
cGuiSlider* slider_under(iGuiNode* node, float px, float py)
{
    if (auto* s = dynamic_cast<cGuiSlider*>(node))
        return s->hit_test(px, py) ? s : nullptr;
    if (auto* v = dynamic_cast<cGuiVec3Slider*>(node))
        for (cGuiSlider& s : v->sliders)
            if (s.hit_test(px, py))
                return &s;
    return nullptr;
}

std::string vec3_text(const cGuiVec3Slider& v)
{
    return "(" + float_to_str2(v.sliders[0].value) + "," + float_to_str2(v.sliders[1].value) + "," +
           float_to_str2(v.sliders[2].value) + ")";
}

cGuiSlider* new_slider(float min, float max, float value)
{
    auto* s = new cGuiSlider;
    s->min = min;
    s->max = max;
    s->value = value;
    return s;
}

}  // namespace

// ---- conversions between variables and sliders -------------------------------

int slider_to_int(float value)
{
    // Truncating value + 0.5 would send -2.7 to -2; floor keeps negative
    // ranges rounding to the nearest integer as positive ones do.
    return static_cast<int>(std::floor(value + 0.5f));
}

bool write_to_var(iVar* var, iGuiNode* node)
{
    if (auto* s = dynamic_cast<cGuiSlider*>(node)) {
        if (auto* f = as<float>(var)) {
            f->set(&s->value);
        } else if (auto* d = as<double>(var)) {
            const double value = s->value;
            d->set(&value);
        } else if (auto* i = as<int>(var)) {
            const int value = slider_to_int(s->value);
            i->set(&value);
        } else {
            return false;
        }
        return true;
    }
    auto* v = dynamic_cast<cGuiVec3Slider*>(node);
    auto* v3 = as<Vec3<float>>(var);
    if (!v || !v3)
        return false;
    const Vec3<float> value(v->sliders[0].value, v->sliders[1].value, v->sliders[2].value);
    v3->set(&value);
    return true;
}

bool read_from_var(iVar* var, iGuiNode* node)
{
    if (auto* s = dynamic_cast<cGuiSlider*>(node)) {
        if (auto* f = as<float>(var))
            s->value = *f->value;
        else if (auto* d = as<double>(var))
            s->value = static_cast<float>(*d->value);
        else if (auto* i = as<int>(var))
            s->value = static_cast<float>(*i->value);
        else
            return false;
        return true;
    }
    auto* v = dynamic_cast<cGuiVec3Slider*>(node);
    auto* v3 = as<Vec3<float>>(var);
    if (!v || !v3)
        return false;
    v->sliders[0].value = v3->value->x;
    v->sliders[1].value = v3->value->y;
    v->sliders[2].value = v3->value->z;
    return true;
}

// ---- cGuiVarList -------------------------------------------------------------

void cGuiVarList::reset()
{
    entries.clear();
    label.idle();
    fill_color = {0, 0, 0, 0.25f};
}

void cGuiVarList::append(const tGuiEntry& entry)
{
    // Sized here rather than in add_* alone: pairs from make_* (a scene's
    // published variables) would otherwise keep the -1 size they were made
    // with and could be neither seen nor grabbed.
    if (is_slider(entry.second))
        dynamic_cast<cGuiRectangle*>(entry.second)->set_size(h, GUI_SLIDER_HEIGHT);
    entries.push_back(entry);
    dirty = true;
}

void cGuiVarList::adopt(const tGuiEntry& entry)
{
    owned_vars.emplace_back(entry.first);
    owned_nodes.emplace_back(entry.second);
    append(entry);
}

void cGuiVarList::layout()
{
    dirty = false;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].second)
            entries[i].second->set_pos(x + NAME_TO_NODE, h - GUI_ROW_PITCH * static_cast<float>(i) + 0.02f);
}

void cGuiVarList::sync_from_vars()
{
    for (const tGuiEntry& e : entries)
        if (e.first && is_slider(e.second))
            read_from_var(e.first, e.second);
}

void cGuiVarList::draw()
{
    if (dirty)
        layout();
    sync_from_vars();
    cGuiRectangle::draw();
    cStateManager::get_instance()->apply();
    for (const tGuiEntry& e : entries)
        if (e.first && e.second)
            draw_entry(e);
}

void cGuiVarList::draw_entry(const tGuiEntry& entry)
{
    iGuiNode* node = entry.second;
    float ex = 0, ey = 0;
    node->get_pos(ex, ey);
    const bool grabbed = node->is_grabbed();
    if (grabbed) {
        // The list's width serves as the right edge, not x + w.
        gui_color(GRAB_HIGHLIGHT);
        gui_quad(x, ey, w, ey + GUI_ROW_PITCH);
    }
    glColor4f(1, 1, 1, grabbed ? 1.0f : 0.85f);
    label.text.assign(entry.first->get_name(), 0, GUI_NAME_CHARS);
    label.set_pos(x, ey);
    label.draw();

    if (auto* text = dynamic_cast<cGuiTxtLabel*>(node)) {
        text->text = entry.first->to_string();
        text->draw();
        return;
    }
    if (auto* s = dynamic_cast<cGuiSlider*>(node))
        label.text = float_to_str2(s->value);
    else if (auto* v = dynamic_cast<cGuiVec3Slider*>(node))
        label.text = vec3_text(*v);
    else
        return;  // no conversion for this variable: the name alone
    label.set_pos(x + NAME_TO_VALUE, ey);
    node->draw();
    gui_color(VALUE_TEXT);
    label.draw();
}

bool cGuiVarList::consume_wheel(float px, float py)
{
    cMouse* mouse = cMouse::get_instance();
    const int notches = (mouse->held[4] ? 1 : 0) - (mouse->held[5] ? 1 : 0);
    const bool turned = mouse->held[4] || mouse->held[5];
    // The event pump never clears the wheel flags: left set, they would
    // read as a button held for ever and no slider could be grabbed again.
    mouse->held[4] = false;
    mouse->held[5] = false;
    if (!turned || notches == 0)
        return false;
    for (const tGuiEntry& e : entries) {
        cGuiSlider* s = e.first ? slider_under(e.second, px, py) : nullptr;
        if (!s)
            continue;
        float fraction = GUI_WHEEL_STEP * static_cast<float>(notches);
        // An int wants at least one whole step per notch, or it would round
        // back to where it was.
        const float range = s->max - s->min;
        if (as<int>(e.first) && range > 0 && std::fabs(fraction * range) < 1)
            fraction = static_cast<float>(notches) / range;
        s->step(fraction);
        write_to_var(e.first, e.second);
        return true;
    }
    return false;
}

bool cGuiVarList::handle_mouse(int event, float px, float py)
{
    const bool wheeled = consume_wheel(px, py);
    if (!any_button_held()) {
        for (const tGuiEntry& e : entries)
            if (e.second)
                e.second->handle_mouse(GUI_RELEASE, px, py);
        for (const tGuiEntry& e : entries)
            if (e.second && e.second->hit_test(px, py)) {
                e.second->handle_mouse(GUI_GRAB, px, py);
                break;
            }
        return wheeled;
    }
    if (event != GUI_DRAG)
        return wheeled;
    for (const tGuiEntry& e : entries)
        if (e.second && e.second->handle_mouse(GUI_DRAG, px, py)) {
            if (e.first)
                write_to_var(e.first, e.second);
            return true;
        }
    return wheeled;
}

// ---- making entries ----------------------------------------------------------

tGuiEntry make_float_var(const std::string& name, float* value, const float& min, const float& max)
{
    return {new cVar<float>(name, value), new_slider(min, max, *value)};
}

tGuiEntry make_int_var(const std::string& name, int* value, const int& min, const int& max)
{
    return {new cVar<int>(name, value),
            new_slider(static_cast<float>(min), static_cast<float>(max), static_cast<float>(*value))};
}

tGuiEntry make_double_var(const std::string& name, double* value, const double& min, const double& max)
{
    return {new cVar<double>(name, value),
            new_slider(static_cast<float>(min), static_cast<float>(max), static_cast<float>(*value))};
}

tGuiEntry make_vec3_var(const std::string& name, Vec3<float>* value, const float& min, const float& max)
{
    auto* node = new cGuiVec3Slider;
    node->min = min;
    node->max = max;
    const float components[3] = {value->x, value->y, value->z};
    for (int k = 0; k < 3; ++k) {
        node->sliders[k].min = min;
        node->sliders[k].max = max;
        node->sliders[k].value = components[k];
    }
    return {new cVar<Vec3<float>>(name, value), node};
}

void add_float_var(cGuiVarList* list, const std::string& name, float* value, const float& min, const float& max)
{
    list->adopt(make_float_var(name, value, min, max));
}

void add_int_var(cGuiVarList* list, const std::string& name, int* value, const int& min, const int& max)
{
    list->adopt(make_int_var(name, value, min, max));
}

void add_double_var(cGuiVarList* list, const std::string& name, double* value, const double& min,
                    const double& max)
{
    list->adopt(make_double_var(name, value, min, max));
}

void add_vec3_var(cGuiVarList* list, const std::string& name, Vec3<float>* value, const float& min,
                  const float& max)
{
    list->adopt(make_vec3_var(name, value, min, max));
}

void add_double_label(cGuiVarList* list, const std::string& name, double* value)
{
    list->adopt({new cVar<double>(name, value), new cGuiTxtLabel});
}

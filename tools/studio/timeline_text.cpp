#include "timeline_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <type_traits>

#include "scenes/composition.h"
#include "values/var.h"

namespace {

const char* const KINDS[] = {"SET_INT",     "SET_FLOAT",    "LERP_INT",      "LERP_FLOAT",
                             "LERP_DOUBLE", "SMOOTH_FLOAT", "EASE_OUT_FLOAT"};

bool known_kind(const std::string& kind)
{
    for (const char* k : KINDS)
        if (kind == k)
            return true;
    return false;
}

// The shortest text that reads back as the same value, with a decimal point
// so that the table's columns read as floating point.
template <typename T>
std::string number_text(T value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string s(buffer, result.ptr);
    if (s.find_first_of(".eEn") == std::string::npos)  // "n": inf and nan stay as they are
        s += ".0";
    return s;
}

// A cursor over one line; every read skips the spaces before it.
struct cLineReader {
    const char* p;
    const char* end;

    void skip_space()
    {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
    }
    bool expect(char c)
    {
        skip_space();
        if (p == end || *p != c)
            return false;
        ++p;
        return true;
    }
    template <typename T>
    bool number(T& value)
    {
        skip_space();
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc())
            return false;
        p = result.ptr;
        return true;
    }
    bool quoted(std::string& s)
    {
        if (!expect('"'))
            return false;
        const char* close = std::find(p, end, '"');
        if (close == end)
            return false;
        s.assign(p, close);
        p = close + 1;
        return true;
    }
    bool word(std::string& s)
    {
        skip_space();
        const char* first = p;
        while (p < end && (std::isupper(static_cast<unsigned char>(*p)) || *p == '_'))
            ++p;
        s.assign(first, p);
        return !s.empty();
    }
};

template <typename T>
bool lines_for(iVar* var, int32_t key, const cSceneLayer& layer, std::string& out)
{
    auto* typed = dynamic_cast<cVar<T>*>(var);
    if (!typed)
        return false;
    cTimelineLine line{key, typed->name, "", layer.start, layer.end, static_cast<double>(*typed->value), 0.0};
    if constexpr (std::is_same_v<T, int>)
        line.kind = "SET_INT";
    else if constexpr (std::is_same_v<T, float>)
        line.kind = "SET_FLOAT";
    else {
        line.kind = "LERP_DOUBLE";
        line.to = line.from;
    }
    out += format_timeline_line(line) + "\n";
    return true;
}

}  // namespace

std::string format_timeline_line(const cTimelineLine& line)
{
    // Floats print as floats, so a value tuned on a float slider reads back
    // bit for bit.
    const bool single = line.kind.find("FLOAT") != std::string::npos;
    const bool integer = line.kind.find("INT") != std::string::npos;
    auto value = [&](double v) {
        if (integer)
            return std::to_string(static_cast<int64_t>(v));
        return single ? number_text(static_cast<float>(v)) : number_text(v);
    };
    char head[160];
    std::snprintf(head, sizeof head, "{%d, %-20s %-15s %7d, %7d, ", line.key, ("\"" + line.var + "\",").c_str(),
                  (line.kind + ",").c_str(), line.start, line.end);
    return head + value(line.from) + ", " + value(line.to) + "},";
}

bool parse_timeline_line(const std::string& text, cTimelineLine& line)
{
    cLineReader r{text.data(), text.data() + text.size()};
    cTimelineLine l;
    if (!(r.expect('{') && r.number(l.key) && r.expect(',') && r.quoted(l.var) && r.expect(',') && r.word(l.kind) &&
          r.expect(',') && r.number(l.start) && r.expect(',') && r.number(l.end) && r.expect(',') &&
          r.number(l.from) && r.expect(',') && r.number(l.to) && r.expect('}')))
        return false;
    r.expect(',');
    r.skip_space();
    if (r.p != r.end || !known_kind(l.kind))
        return false;
    line = l;
    return true;
}

std::vector<cTimelineLine> parse_timeline_text(const std::string& text)
{
    std::vector<cTimelineLine> lines;
    std::istringstream in(text);
    std::string s;
    cTimelineLine line;
    while (std::getline(in, s))
        if (parse_timeline_line(s, line))
            lines.push_back(line);
    return lines;
}

std::string timeline_printout(cSceneComposition& composition, int32_t t)
{
    std::string out;
    for (auto& [key, layer] : composition.layers) {
        if (!layer.active_at(t))
            continue;
        out += "// " + layer.scene->get_name() + "\n";
        for (const tGuiEntry& entry : layer.scene->get_vars()) {
            iVar* var = entry.first;
            if (lines_for<int>(var, key, layer, out) || lines_for<float>(var, key, layer, out) ||
                lines_for<double>(var, key, layer, out))
                continue;
            out += "// " + var->get_name() + " = " + var->to_string() + " (no table kind)\n";
        }
    }
    return out;
}

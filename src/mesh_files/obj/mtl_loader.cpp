#include "mesh_files/obj/mtl_loader.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "data_file.h"
#include "mesh_files/obj/obj_tokens.h"

namespace {

const char* const MTL_SOURCE = "../src/mesh_files/obj/cMtlLoader";

enum class eMtlToken { REMARK, NEWMTL, KA, KD, KS, NS, ILLUM, D, TR, TF, MAP_KA, MAP_KD, MAP_KS, MAP_D, BUMP, NI, UNKNOWN };

eMtlToken classify(const std::string& t)
{
    static const std::pair<const char*, eMtlToken> table[] = {
        {"#", eMtlToken::REMARK},       {"newmtl", eMtlToken::NEWMTL}, {"Ka", eMtlToken::KA},
        {"Kd", eMtlToken::KD},          {"Ks", eMtlToken::KS},         {"Ns", eMtlToken::NS},
        {"illum", eMtlToken::ILLUM},    {"d", eMtlToken::D},           {"Tr", eMtlToken::TR},
        {"Tf", eMtlToken::TF},          {"map_Ka", eMtlToken::MAP_KA}, {"map_Kd", eMtlToken::MAP_KD},
        {"map_Ks", eMtlToken::MAP_KS},  {"map_d", eMtlToken::MAP_D},   {"bump", eMtlToken::BUMP},
        {"Ni", eMtlToken::NI},
    };
    for (const auto& [name, kind] : table)
        if (t == name)
            return kind;
    return eMtlToken::UNKNOWN;
}

// R, G, B from the next three numbers; alpha stays.
void read_rgb(const tTokens& tok, tRGBA& colour)
{
    for (size_t c = 0; c < 3; ++c)
        colour[c] = float(token_number(tok, c + 1));
}

void apply(eMtlToken kind, const tTokens& tok, cMaterial& m)
{
    switch (kind) {
    case eMtlToken::KA: read_rgb(tok, m.Ka); break;
    case eMtlToken::KD: read_rgb(tok, m.Kd); break;
    case eMtlToken::KS: read_rgb(tok, m.Ks); break;
    case eMtlToken::NS: m.Ns = float(token_number(tok, 1)); break;
    case eMtlToken::ILLUM: m.illum = tok.size() > 1 ? int(std::strtol(tok[1].c_str(), nullptr, 10)) : 0; break;
    case eMtlToken::D: m.d = float(token_number(tok, 1)); break;
    case eMtlToken::TF:
        m.d = float((token_number(tok, 1) + token_number(tok, 2) + token_number(tok, 3)) / 3);
        break;
    case eMtlToken::MAP_KA: m.map_Ka = token_text(tok, 1); break;
    case eMtlToken::MAP_KD: m.map_Kd = token_text(tok, 1); break;
    case eMtlToken::MAP_KS: m.map_Ks = token_text(tok, 1); break;
    case eMtlToken::MAP_D: m.map_d = token_text(tok, 1); break;
    case eMtlToken::BUMP: m.bump = token_text(tok, 1); break;
    case eMtlToken::NI: m.Ni = float(token_number(tok, 1)); break;
    default: break;  // remarks, "Tr"
    }
}

}  // namespace

void cMtlLoader::load(const std::string& path, std::vector<cMaterial>& out)
{
    out.clear();
    const cDataFile file = read_data_file(path, MAX_MODEL_BYTES);
    if (!file.read) {
        if (!file.missing)
            std::cerr << "## ERROR: " << file.problem << std::endl;
        std::cerr << "## ERROR: Couldn't open " << path << std::endl;
        return;
    }
    std::istringstream text(std::string(file.bytes.begin(), file.bytes.end()));
    read(text, path, out);
}

void cMtlLoader::read(std::istream& in, const std::string& path, std::vector<cMaterial>& out)
{
    out.clear();
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        const tTokens tok = split_tokens(line);
        if (tok.empty())
            continue;
        const eMtlToken kind = classify(tok[0]);
        if (kind == eMtlToken::UNKNOWN) {
            std::cerr << "# warning: unknown token \"" << tok[0] << "\"" << std::endl;
            std::cerr << "# warning: unknown token encountered in \"" << path << "\" line " << n << ". Skipping..."
                      << std::endl;
        } else if (kind == eMtlToken::NEWMTL) {
            out.emplace_back(token_text(tok, 1));
        } else if (kind != eMtlToken::REMARK && out.empty()) {
            std::cerr << "## ERROR in " << MTL_SOURCE << " line " << 28
                      << ": no 'newmtl' entry was found previous to line " << n << ". Failed to load .mtl-file!!"
                      << std::endl;
            return;
        } else if (!out.empty()) {
            apply(kind, tok, out.back());
        }
    }
}

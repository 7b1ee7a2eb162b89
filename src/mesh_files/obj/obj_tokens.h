#pragma once
// Line tokenising shared by the OBJ and MTL readers: tokens are separated by
// spaces, tabs, carriage returns and line feeds.
#include <cstdlib>
#include <string>
#include <vector>

using tTokens = std::vector<std::string>;

inline tTokens split_tokens(const std::string& line)
{
    tTokens out;
    size_t pos = 0;
    while (true) {
        const size_t start = line.find_first_not_of(" \t\r\n", pos);
        if (start == std::string::npos)
            break;
        pos = line.find_first_of(" \t\r\n", start);
        out.push_back(line.substr(start, pos - start));
        if (pos == std::string::npos)
            break;
    }
    return out;
}

// Token i, or empty when the line has fewer.
inline std::string token_text(const tTokens& tok, size_t i) { return i < tok.size() ? tok[i] : std::string(); }

// Token i read as a number (strtod); 0 when missing or not a number.
inline double token_number(const tTokens& tok, size_t i)
{
    return i < tok.size() ? std::strtod(tok[i].c_str(), nullptr) : 0.0;
}

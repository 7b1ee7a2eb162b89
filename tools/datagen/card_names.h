#pragma once
// Texture files named by the card models' materials; the texture family
// writes them under these names.
constexpr const char* GREETINGS_TEXTURE = "greetings_bg_03.png";
constexpr const char* TITLE_BG_TEXTURE = "intro_bg.jpg";
constexpr const char* TITLE_LOGO_TEXTURE = "intro_logo.png";

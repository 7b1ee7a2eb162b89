#version 120
#extension GL_ARB_texture_rectangle : enable
// Texture times colour in all four channels: the texture's alpha cuts out,
// the colour's alpha fades.
uniform sampler2D tex0;
void main()
{
    gl_FragColor = texture2D(tex0, gl_TexCoord[0].st) * gl_Color;
}

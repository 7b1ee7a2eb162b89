#version 120
#extension GL_ARB_texture_rectangle : enable
// Full-screen pass: texture coordinates of units 0 and 1 are the pixel ranges
// of the two sources; the texture matrices still apply as in fixed function.
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

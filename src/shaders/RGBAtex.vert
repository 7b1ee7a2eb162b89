#version 120
#extension GL_ARB_texture_rectangle : enable
// Unlit textured surface: unit-0 coordinates and the vertex colour.
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_FogFragCoord = -(gl_ModelViewMatrix * gl_Vertex).z;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

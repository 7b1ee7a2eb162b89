#version 120
#extension GL_ARB_texture_rectangle : enable
// Textured card whose colour alpha may exceed 1: it reaches the fragment
// program unclamped and overdrives the brightness.
varying float fade;
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_FogFragCoord = -(gl_ModelViewMatrix * gl_Vertex).z;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
    fade = gl_Color.a;
}

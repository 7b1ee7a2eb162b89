#version 120
#extension GL_ARB_texture_rectangle : enable
// Lit surface: eye-space position and normal go to the fragment program,
// which lights them with GL light 0 and the current material.
varying vec3 eye_normal;
varying vec3 eye_pos;
void main()
{
    vec4 p = gl_ModelViewMatrix * gl_Vertex;
    eye_pos = p.xyz;
    eye_normal = gl_NormalMatrix * gl_Normal;
    gl_Position = gl_ProjectionMatrix * p;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
    gl_FogFragCoord = -p.z;
}

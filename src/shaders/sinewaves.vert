#version 120
#extension GL_ARB_texture_rectangle : enable
// Rings of sine waves travel outward from offset across the mesh: vertices
// move along their normals by in_strength, the wave front has reached
// dist_t units from the centre, cur_t is the phase (one period per unit),
// and wave crests are lightened by in_lighten.
uniform float cur_t;
uniform vec3 offset;
uniform float in_strength;
uniform float dist_t;
uniform float in_lighten;
varying float lighten;
void main()
{
    float d = distance(gl_Vertex.xyz, offset);
    float reach = 1.0 - smoothstep(dist_t * 0.8, dist_t, d);
    float wave = sin(6.2831853 * (d * 0.02 - cur_t)) * reach;
    vec4 pos = vec4(gl_Vertex.xyz + gl_Normal * (wave * in_strength), 1.0);
    lighten = in_lighten * max(wave, 0.0);
    gl_Position = gl_ModelViewProjectionMatrix * pos;
    gl_FogFragCoord = -(gl_ModelViewMatrix * pos).z;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Blends two meshes with the same vertex order: the drawn mesh gives the
// start position and normal, texture sets 3 and 4 carry the target's;
// cur_t = 0 shows the start, 1 the target.
uniform float cur_t;
varying vec3 eye_normal;
varying vec3 eye_pos;
void main()
{
    vec4 pos = vec4(mix(gl_Vertex.xyz, gl_MultiTexCoord3.xyz, cur_t), 1.0);
    vec3 nrm = mix(gl_Normal, gl_MultiTexCoord4.xyz, cur_t);
    vec4 p = gl_ModelViewMatrix * pos;
    eye_pos = p.xyz;
    eye_normal = gl_NormalMatrix * nrm;
    gl_Position = gl_ProjectionMatrix * p;
    gl_FogFragCoord = -p.z;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

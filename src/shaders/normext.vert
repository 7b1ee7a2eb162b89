#version 120
#extension GL_ARB_texture_rectangle : enable
// Normal extrusion: the mesh is turned by inner_rotmat, every vertex pushed
// out along its turned normal by t_parm, and the result turned again by
// outer_rotmat, so inner and outer rotations shear the spikes apart.
uniform float t_parm;
uniform mat4 inner_rotmat;
uniform mat4 outer_rotmat;
varying vec3 eye_normal;
varying vec3 eye_pos;
varying float extrusion;
void main()
{
    vec4 inner = inner_rotmat * gl_Vertex;
    vec3 n = normalize(mat3(inner_rotmat) * gl_Normal);
    vec4 pos = outer_rotmat * vec4(inner.xyz + n * t_parm, 1.0);
    vec4 p = gl_ModelViewMatrix * pos;
    eye_pos = p.xyz;
    eye_normal = gl_NormalMatrix * (mat3(outer_rotmat) * n);
    extrusion = t_parm;
    gl_Position = gl_ProjectionMatrix * p;
    gl_FogFragCoord = -p.z;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

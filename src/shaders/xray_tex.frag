#version 120
#extension GL_ARB_texture_rectangle : enable
// X-ray look: silhouettes glow, faces turned to the viewer go transparent;
// lightemit lifts the whole surface towards its own texture colour.
uniform sampler2D tex0;
uniform float lightemit;
varying vec3 eye_normal;
varying vec3 eye_pos;
uniform int fog_mode;
// The GL fog state applied to a colour; fog_mode is 0 while fog is off,
// else 1 linear, 2 exp, 3 exp2 (set at every bind).
vec3 fogged(vec3 c)
{
    float z = gl_FogFragCoord;
    float f = fog_mode == 1 ? (gl_Fog.end - z) * gl_Fog.scale
            : fog_mode == 2 ? exp(-gl_Fog.density * z) : exp(-(gl_Fog.density * z) * (gl_Fog.density * z));
    return fog_mode == 0 ? c : mix(gl_Fog.color.rgb, c, clamp(f, 0.0, 1.0));
}
void main()
{
    vec3 n = normalize(eye_normal);
    float rim = 1.0 - abs(dot(n, normalize(-eye_pos)));
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    float a = clamp(rim * rim + lightemit, 0.0, 1.0);
    gl_FragColor = vec4(fogged(t.rgb * gl_Color.rgb * (rim + lightemit)), a * t.a * gl_Color.a);
}

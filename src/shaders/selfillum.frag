#version 120
#extension GL_ARB_texture_rectangle : enable
// Self-illuminated: the material glows in its own diffuse colour plus its
// emission, whatever the lights do; surfaces facing the viewer are fully
// lit and grazing ones darken a little so the shape still reads.
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
    float facing = abs(dot(n, normalize(-eye_pos)));
    vec3 c = gl_FrontMaterial.diffuse.rgb * (0.45 + 0.55 * facing) + gl_FrontMaterial.emission.rgb;
    gl_FragColor = vec4(fogged(c * gl_Color.rgb), gl_FrontMaterial.diffuse.a * gl_Color.a);
}

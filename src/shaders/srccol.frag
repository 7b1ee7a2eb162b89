#version 120
#extension GL_ARB_texture_rectangle : enable
// The source colour is its own coverage: alpha is the brightest channel of
// the tinted texel, so additive-by-alpha blending adds the picture itself
// and black parts of an opaque image vanish.
uniform sampler2D tex0;
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
    vec3 c = fogged(texture2D(tex0, gl_TexCoord[0].st).rgb * gl_Color.rgb);
    float a = max(c.r, max(c.g, c.b)) * gl_Color.a;
    gl_FragColor = vec4(c, a);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Texture times colour; the card's border fades out softly so its edges
// never show, and an alpha above 1 brightens the picture.
uniform sampler2D tex0;
varying float fade;
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
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    vec2 d = abs(gl_TexCoord[0].st - vec2(0.5));
    float edge = 1.0 - smoothstep(0.4, 0.5, max(d.x, d.y));
    vec3 c = t.rgb * gl_Color.rgb * max(fade, 1.0);
    gl_FragColor = vec4(fogged(c), t.a * clamp(fade, 0.0, 1.0) * edge);
}

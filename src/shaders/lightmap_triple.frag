#version 120
#extension GL_ARB_texture_rectangle : enable
// Three lightmaps packed in the red, green and blue channels of the map on
// unit 1 (same coordinates as the diffuse map on unit 0); each is weighted
// by its intensity and the sum lights the surface in lightmap_col.
uniform sampler2D tex0;
uniform sampler2D tex1;
uniform vec3 intensities;
uniform vec3 lightmap_col;
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
    float light = dot(texture2D(tex1, gl_TexCoord[0].st).rgb, intensities);
    vec3 c = t.rgb * (gl_FrontLightModelProduct.sceneColor.rgb + lightmap_col * light);
    gl_FragColor = vec4(fogged(c * gl_Color.rgb), t.a * gl_Color.a);
}

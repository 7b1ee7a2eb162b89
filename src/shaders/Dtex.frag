#version 120
#extension GL_ARB_texture_rectangle : enable
// Diffuse-textured surface lit by light 0: the diffuse map (unit 0) times
// the lighting of the current material.
uniform sampler2D tex0;
varying vec3 eye_normal;
varying vec3 eye_pos;
// Diffuse term of GL light 0 (directional or positional) in eye space.
float light0(vec3 n, vec3 p)
{
    vec4 lp = gl_LightSource[0].position;
    vec3 l = normalize(lp.xyz - p * lp.w);
    return max(dot(n, l), 0.0);
}
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
    float d = light0(normalize(eye_normal), eye_pos);
    vec4 light = gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient
               + gl_FrontLightProduct[0].diffuse * d;
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    gl_FragColor = vec4(fogged(t.rgb * light.rgb), t.a * gl_FrontMaterial.diffuse.a);
}

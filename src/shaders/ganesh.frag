#version 120
#extension GL_ARB_texture_rectangle : enable
// Statue material: diffuse map (unit 0) under light 0 with a Blinn-Phong
// highlight whose strength comes from the specular map (unit 1).
uniform sampler2D tex0;
uniform sampler2D tex1;
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
    vec3 n = normalize(eye_normal);
    float d = light0(n, eye_pos);
    vec4 lp = gl_LightSource[0].position;
    vec3 l = normalize(lp.xyz - eye_pos * lp.w);
    vec3 h = normalize(l + normalize(-eye_pos));
    float spec = d > 0.0 ? pow(max(dot(n, h), 0.0), max(gl_FrontMaterial.shininess, 1.0)) : 0.0;
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    vec3 s = texture2D(tex1, gl_TexCoord[0].st).rgb * gl_FrontLightProduct[0].specular.rgb;
    vec4 light = gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient
               + gl_FrontLightProduct[0].diffuse * d;
    gl_FragColor = vec4(fogged(t.rgb * light.rgb + s * spec), t.a * gl_FrontMaterial.diffuse.a);
}

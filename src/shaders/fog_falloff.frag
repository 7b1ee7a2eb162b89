#version 120
#extension GL_ARB_texture_rectangle : enable
// Textured, lit surface that falls off into the GL fog colour with distance
// (linear fog from the fog state); lightemit adds self-illumination that
// the fog still swallows.
uniform sampler2D tex0;
uniform float lightemit;
varying vec3 eye_normal;
varying vec3 eye_pos;
// Diffuse term of GL light 0 (directional or positional) in eye space.
float light0(vec3 n, vec3 p)
{
    vec4 lp = gl_LightSource[0].position;
    vec3 l = normalize(lp.xyz - p * lp.w);
    return max(dot(n, l), 0.0);
}
void main()
{
    float d = light0(normalize(eye_normal), eye_pos);
    vec4 light = gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient
               + gl_FrontLightProduct[0].diffuse * d;
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    vec3 c = t.rgb * (light.rgb + vec3(lightemit));
    float fog = clamp((gl_Fog.end - gl_FogFragCoord) * gl_Fog.scale, 0.0, 1.0);
    gl_FragColor = vec4(mix(gl_Fog.color.rgb, c, fog), t.a * gl_FrontMaterial.diffuse.a);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Untextured surface in the fixed-function look: emission and scene ambient,
// plus ambient and diffuse of light 0 with the current material.
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
    vec4 c = gl_FrontLightModelProduct.sceneColor + gl_FrontLightProduct[0].ambient
           + gl_FrontLightProduct[0].diffuse * d;
    gl_FragColor = vec4(c.rgb, gl_FrontMaterial.diffuse.a);
}

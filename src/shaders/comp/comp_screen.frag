#version 120
#extension GL_ARB_texture_rectangle : enable
// Layer compositing: bottom on unit 0, top on unit 1, the layer opacity in
// the colour's alpha. This mode adds light, so it takes the top's colour
// times the opacity whatever the top's alpha: light drawn into a layer
// with its destination alpha kept (a logo, a glow) has colour but no
// coverage, and transparent black leaves the bottom as it is. The output
// alpha is the top's coverage over the bottom's.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;

// Screen: inverted colours multiply; never darker than either layer.
vec3 blend_mode(vec3 b, vec3 t)
{
    return vec3(1.0) - (vec3(1.0) - b) * (vec3(1.0) - t);
}
void main()
{
    vec4 bottom = texture2DRect(tex0, gl_TexCoord[0].st);
    vec4 top = texture2DRect(tex1, gl_TexCoord[1].st);
    float a = clamp(top.a * gl_Color.a, 0.0, 1.0);
    vec3 c = blend_mode(bottom.rgb, top.rgb * gl_Color.a);
    gl_FragColor = vec4(c, a + bottom.a * (1.0 - a));
}

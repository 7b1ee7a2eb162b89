#version 120
#extension GL_ARB_texture_rectangle : enable
// Layer compositing: bottom on unit 0, top on unit 1, the layer opacity in
// the colour's alpha. The mode's result is faded in by the top's alpha
// times the opacity; the output alpha is that coverage over the bottom's.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;

// Colour dodge: the bottom brightened by the top, white burning out.
vec3 blend_mode(vec3 b, vec3 t)
{
    return min(b / max(vec3(1.0) - t, vec3(0.0001)), vec3(1.0));
}
void main()
{
    vec4 bottom = texture2DRect(tex0, gl_TexCoord[0].st);
    vec4 top = texture2DRect(tex1, gl_TexCoord[1].st);
    float a = clamp(top.a * gl_Color.a, 0.0, 1.0);
    vec3 c = mix(bottom.rgb, blend_mode(bottom.rgb, top.rgb), a);
    gl_FragColor = vec4(c, a + bottom.a * (1.0 - a));
}

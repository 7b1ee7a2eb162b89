#version 120
#extension GL_ARB_texture_rectangle : enable
// Glow spill: the spill layer (unit 1) is added onto the base (unit 0);
// its brightness also makes the base opaque where it spills.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;
void main()
{
    vec4 base = texture2DRect(tex0, gl_TexCoord[0].st);
    vec3 spill = texture2DRect(tex1, gl_TexCoord[1].st).rgb;
    float a = clamp(base.a + max(spill.r, max(spill.g, spill.b)), 0.0, 1.0);
    gl_FragColor = vec4(base.rgb + spill, a);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// One direction of a separable blur of the colour only; every pixel keeps
// its own alpha.
uniform sampler2DRect tex0;
uniform vec2 sampledir;
// Nine-tap binomial kernel along sampledir (a step in pixels).
vec4 blur9(vec2 p)
{
    vec4 sum = texture2DRect(tex0, p) * 0.2734375;
    sum += (texture2DRect(tex0, p + sampledir) + texture2DRect(tex0, p - sampledir)) * 0.21875;
    sum += (texture2DRect(tex0, p + 2.0 * sampledir) + texture2DRect(tex0, p - 2.0 * sampledir)) * 0.109375;
    sum += (texture2DRect(tex0, p + 3.0 * sampledir) + texture2DRect(tex0, p - 3.0 * sampledir)) * 0.03125;
    sum += (texture2DRect(tex0, p + 4.0 * sampledir) + texture2DRect(tex0, p - 4.0 * sampledir)) * 0.00390625;
    return sum;
}
void main()
{
    vec2 p = gl_TexCoord[0].st;
    gl_FragColor = vec4(blur9(p).rgb, texture2DRect(tex0, p).a);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Colour dodge: the base (unit 0) divided by the inverted blend layer
// (unit 1); white in the blend layer burns the base out to white.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;
void main()
{
    vec4 base = texture2DRect(tex0, gl_TexCoord[0].st);
    vec3 blend = texture2DRect(tex1, gl_TexCoord[1].st).rgb;
    vec3 c = min(base.rgb / max(vec3(1.0) - blend, vec3(0.0001)), vec3(1.0));
    gl_FragColor = vec4(c, base.a);
}

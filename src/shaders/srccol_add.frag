#version 120
#extension GL_ARB_texture_rectangle : enable
// Like srccol, but premultiplied so that plain additive blending (one, one)
// adds the picture scaled by the colour's alpha.
uniform sampler2D tex0;
void main()
{
    vec3 c = texture2D(tex0, gl_TexCoord[0].st).rgb * gl_Color.rgb;
    float a = max(c.r, max(c.g, c.b)) * gl_Color.a;
    gl_FragColor = vec4(c * gl_Color.a, a);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// The source colour is its own coverage: alpha is the brightest channel of
// the tinted texel, so additive-by-alpha blending adds the picture itself
// and black parts of an opaque image vanish.
uniform sampler2D tex0;
void main()
{
    vec3 c = texture2D(tex0, gl_TexCoord[0].st).rgb * gl_Color.rgb;
    float a = max(c.r, max(c.g, c.b)) * gl_Color.a;
    gl_FragColor = vec4(c, a);
}

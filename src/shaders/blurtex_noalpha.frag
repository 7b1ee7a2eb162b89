#version 120
#extension GL_ARB_texture_rectangle : enable
// One direction of a separable blur of the colour only; every pixel keeps
// its own alpha.
uniform sampler2DRect tex0;
uniform vec2 sampledir;
// The kernel's weights from the centre outwards, `radius` taps each side:
// the binomial kernel of one nine-tap blur (radius 4) or of several in a
// row (radius 8, 12), which gives their result in one pass.
uniform float radius;
uniform float weights[13];
vec3 blur(vec2 p)
{
    vec3 sum = texture2DRect(tex0, p).rgb * weights[0];
    for (int k = 1; k <= 12; ++k) {
        if (float(k) > radius)
            break;
        vec2 d = float(k) * sampledir;
        sum += (texture2DRect(tex0, p + d).rgb + texture2DRect(tex0, p - d).rgb) * weights[k];
    }
    return sum;
}
void main()
{
    vec2 p = gl_TexCoord[0].st;
    gl_FragColor = vec4(blur(p), texture2DRect(tex0, p).a);
}

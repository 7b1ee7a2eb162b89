#version 120
#extension GL_ARB_texture_rectangle : enable
// One direction of a separable blur; alpha is blurred with the colour.
uniform sampler2DRect tex0;
uniform vec2 sampledir;
// The kernel's weights from the centre outwards, `radius` taps each side:
// the binomial kernel of one nine-tap blur (radius 4) or of several in a
// row (radius 8, 12), which gives their result in one pass.
uniform float radius;
uniform float weights[13];
vec4 blur(vec2 p)
{
    vec4 sum = texture2DRect(tex0, p) * weights[0];
    for (int k = 1; k <= 12; ++k) {
        if (float(k) > radius)
            break;
        vec2 d = float(k) * sampledir;
        sum += (texture2DRect(tex0, p + d) + texture2DRect(tex0, p - d)) * weights[k];
    }
    return sum;
}
void main()
{
    gl_FragColor = blur(gl_TexCoord[0].st);
}

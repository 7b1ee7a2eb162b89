#version 120
#extension GL_ARB_texture_rectangle : enable
// The sprite on unit 0 spread over the quad, carried in alpha for
// additive-by-alpha blending: its brightest channel is the particle's
// coverage and its hue tints the particle's colour.
uniform sampler2D tex0;
varying vec2 corner;
void main()
{
    vec3 texel = texture2D(tex0, corner * 0.5 + 0.5).rgb;
    float glow = max(texel.r, max(texel.g, texel.b));
    vec3 tint = glow > 0.0 ? texel / glow : vec3(1.0);
    gl_FragColor = vec4(gl_Color.rgb * tint, gl_Color.a * glow);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Soft round glow: full at the centre, zero at the quad's inscribed circle,
// carried in alpha for additive-by-alpha blending.
varying vec2 corner;
void main()
{
    float r2 = dot(corner, corner);
    float glow = 1.0 - min(r2, 1.0);
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * glow * glow);
}

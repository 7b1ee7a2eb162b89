#version 120
#extension GL_ARB_texture_rectangle : enable
// Expands each particle into a camera-facing quad of half-size
// particle_size (eye-space units); particle_intensity scales its opacity.
uniform float particle_size;
uniform float particle_intensity;
varying vec2 corner;
// Billboard corner j (0-3, texture set 3) finds the particle centre in the
// vertex position (j 0) or in texture set j - 1; corners 0..3 are the
// lower-left, lower-right, upper-left and upper-right of the quad.
vec3 particle_centre(float j)
{
    if (j < 0.5)
        return gl_Vertex.xyz;
    if (j < 1.5)
        return gl_MultiTexCoord0.xyz;
    if (j < 2.5)
        return gl_MultiTexCoord1.xyz;
    return gl_MultiTexCoord2.xyz;
}

vec2 particle_corner(float j)
{
    return vec2(mod(j, 2.0), step(1.5, j)) * 2.0 - 1.0;
}
void main()
{
    float j = floor(gl_MultiTexCoord3.x + 0.5);
    corner = particle_corner(j);
    vec4 p = gl_ModelViewMatrix * vec4(particle_centre(j), 1.0);
    p.xy += corner * particle_size;
    gl_Position = gl_ProjectionMatrix * p;
    gl_FrontColor = vec4(gl_Color.rgb, gl_Color.a * particle_intensity);
    gl_BackColor = gl_FrontColor;
}

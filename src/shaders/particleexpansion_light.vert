#version 120
#extension GL_ARB_texture_rectangle : enable
// Particles lit by a point light at ws_light_position: brightness falls
// off to nothing at max_dist; a shell of width seg_width_norm (fraction of
// max_dist) sweeps outward as cur_t runs from 0 to 1 and lights what it
// passes. particle_size is the quad's eye-space half-size.
uniform float cur_t;
uniform vec3 ws_light_position;
uniform float max_dist;
uniform float seg_width_norm;
uniform float particle_size;
varying vec2 corner;
varying float light;
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
    vec3 centre = particle_centre(j);
    float n = clamp(distance(centre, ws_light_position) / max(max_dist, 0.0001), 0.0, 1.0);
    float shell = 1.0 - smoothstep(0.0, max(seg_width_norm, 0.0001), abs(n - cur_t));
    light = max(1.0 - n, shell);
    corner = particle_corner(j);
    vec4 p = gl_ModelViewMatrix * vec4(centre, 1.0);
    p.xy += corner * particle_size;
    gl_Position = gl_ProjectionMatrix * p;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

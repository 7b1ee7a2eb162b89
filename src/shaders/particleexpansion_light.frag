#version 120
#extension GL_ARB_texture_rectangle : enable
uniform vec3 min_color;
uniform vec3 max_color;
varying vec2 corner;
varying float light;
void main()
{
    float glow = 1.0 - min(dot(corner, corner), 1.0);
    vec3 c = mix(min_color, max_color, light) * gl_Color.rgb;
    gl_FragColor = vec4(c, gl_Color.a * glow * glow);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// X-ray look: silhouettes glow, faces turned to the viewer go transparent;
// lightemit lifts the whole surface towards its own texture colour.
uniform sampler2D tex0;
uniform float lightemit;
varying vec3 eye_normal;
varying vec3 eye_pos;
void main()
{
    vec3 n = normalize(eye_normal);
    float rim = 1.0 - abs(dot(n, normalize(-eye_pos)));
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    float a = clamp(rim * rim + lightemit, 0.0, 1.0);
    gl_FragColor = vec4(t.rgb * gl_Color.rgb * (rim + lightemit), a * t.a * gl_Color.a);
}

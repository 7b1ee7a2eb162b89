#version 120
#extension GL_ARB_texture_rectangle : enable
// Hue, saturation and brightness: the hue turns by H_adjust radians (a
// rotation of the YIQ chroma plane), saturation scales the distance from
// grey by S_adjust, B_adjust is added. The mask on unit 1 (0-1
// coordinates) limits the change to where it is white.
uniform sampler2DRect tex0;
uniform sampler2D tex1;
uniform float H_adjust;
uniform float S_adjust;
uniform float B_adjust;
const mat3 rgb_to_yiq = mat3(0.299, 0.596, 0.211, 0.587, -0.274, -0.523, 0.114, -0.322, 0.312);
const mat3 yiq_to_rgb = mat3(1.0, 1.0, 1.0, 0.956, -0.272, -1.106, 0.621, -0.647, 1.703);
void main()
{
    vec4 t = texture2DRect(tex0, gl_TexCoord[0].st);
    vec3 yiq = rgb_to_yiq * t.rgb;
    float c = cos(H_adjust);
    float s = sin(H_adjust);
    yiq.yz = vec2(c * yiq.y - s * yiq.z, s * yiq.y + c * yiq.z) * S_adjust;
    vec3 adjusted = clamp(yiq_to_rgb * yiq + vec3(B_adjust), 0.0, 1.0);
    float mask = texture2D(tex1, gl_TexCoord[1].st).r;
    gl_FragColor = vec4(mix(t.rgb, adjusted, mask), t.a);
}

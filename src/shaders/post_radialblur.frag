#version 120
#extension GL_ARB_texture_rectangle : enable
// Radial blur towards blur_center (pixels of the source on unit 0): each
// pixel averages num_samples samples on the line to the centre, spread over
// propagation x the distance to the centre but never over more than dist
// pixels, nearer samples weighing more; multiplier scales the result, so
// values above 1 turn bright parts into light rays.
uniform sampler2DRect tex0;
uniform vec2 blur_center;
uniform float dist;
uniform float num_samples;
uniform float propagation;
uniform float multiplier;
void main()
{
    vec2 p = gl_TexCoord[0].st;
    vec2 to_centre = blur_center - p;
    float len = length(to_centre);
    float reach = min(len * propagation, dist);
    vec2 dir = len > 0.0 ? to_centre / len : vec2(0.0);
    float n = clamp(floor(num_samples), 1.0, 100.0);
    vec4 sum = vec4(0.0);
    float weights = 0.0;
    for (int i = 0; i < 100; ++i) {
        float k = float(i);
        if (k >= n)
            break;
        float w = 1.0 - k / n;
        sum += texture2DRect(tex0, p + dir * (reach * k / n)) * w;
        weights += w;
    }
    gl_FragColor = sum / weights * multiplier;
}

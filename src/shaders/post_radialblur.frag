#version 120
#extension GL_ARB_texture_rectangle : enable
// Light streaks from blur_center (pixels of the source on unit 0). Every
// pixel keeps its own colour and gathers the light of the source along the
// ray towards the centre, at most dist pixels of it, in num_samples steps
// of at least a pixel. Light that has run s pixels outwards keeps
// exp(-s / (propagation x dist)): propagation is a streak's fall-off length
// as a share of dist, and 0 leaves the picture as it is. The gathered light
// is summed, not averaged, in units of STREAK_UNIT pixels, times
// multiplier: a bright dot w pixels wide throws a streak of its brightness
// x w / STREAK_UNIT x multiplier, so small multipliers give faint streaks
// without dimming the picture, and wide bright areas saturate.
uniform sampler2DRect tex0;
uniform vec2 blur_center;
uniform float dist;
uniform float num_samples;
uniform float propagation;
uniform float multiplier;
const float STREAK_UNIT = 64.0;
void main()
{
    vec2 p = gl_TexCoord[0].st;
    vec2 to_centre = blur_center - p;
    float len = length(to_centre);
    vec2 dir = len > 0.0 ? to_centre / len : vec2(0.0);
    float span = min(len, dist);
    float n = clamp(floor(num_samples), 1.0, 100.0);
    float step_len = max(span / n, 1.0);
    n = min(n, floor(span / step_len) + 1.0);
    float fall = propagation * dist;
    vec4 streak = vec4(0.0);
    for (int i = 1; i < 100; ++i) {
        if (float(i) >= n || fall <= 0.0)
            break;
        float s = float(i) * step_len;
        streak += texture2DRect(tex0, p + dir * s) * exp(-s / fall);
    }
    gl_FragColor = texture2DRect(tex0, p) + streak * (step_len / STREAK_UNIT * multiplier);
}

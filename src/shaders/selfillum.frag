#version 120
#extension GL_ARB_texture_rectangle : enable
// Self-illuminated: the material glows in its own diffuse colour plus its
// emission, whatever the lights do; surfaces facing the viewer are fully
// lit and grazing ones darken a little so the shape still reads.
varying vec3 eye_normal;
varying vec3 eye_pos;
void main()
{
    vec3 n = normalize(eye_normal);
    float facing = abs(dot(n, normalize(-eye_pos)));
    vec3 c = gl_FrontMaterial.diffuse.rgb * (0.45 + 0.55 * facing) + gl_FrontMaterial.emission.rgb;
    gl_FragColor = vec4(c * gl_Color.rgb, gl_FrontMaterial.diffuse.a * gl_Color.a);
}

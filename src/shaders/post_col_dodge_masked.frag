#version 120
#extension GL_ARB_texture_rectangle : enable
// Colour dodge limited by the blend layer's own alpha: where the layer
// (unit 1) is transparent the base (unit 0) stays as it is.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;
void main()
{
    vec4 base = texture2DRect(tex0, gl_TexCoord[0].st);
    vec4 blend = texture2DRect(tex1, gl_TexCoord[1].st);
    vec3 dodged = min(base.rgb / max(vec3(1.0) - blend.rgb, vec3(0.0001)), vec3(1.0));
    gl_FragColor = vec4(mix(base.rgb, dodged, blend.a), base.a);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Colour dodge weighted by a mask: the base (unit 0) dodged by the blend
// layer (unit 1) where the mask (unit 2, a picture of the base's size read
// at the base's pixel coordinates) is white; black leaves the base as it is.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;
uniform sampler2DRect tex2;
void main()
{
    vec4 base = texture2DRect(tex0, gl_TexCoord[0].st);
    vec3 blend = texture2DRect(tex1, gl_TexCoord[1].st).rgb;
    float mask = texture2DRect(tex2, gl_TexCoord[0].st).r;
    vec3 dodged = min(base.rgb / max(vec3(1.0) - blend, vec3(0.0001)), vec3(1.0));
    gl_FragColor = vec4(mix(base.rgb, dodged, mask), base.a);
}

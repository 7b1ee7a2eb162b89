#version 120
#extension GL_ARB_texture_rectangle : enable
uniform sampler2D tex0;
varying float lighten;
void main()
{
    vec4 c = texture2D(tex0, gl_TexCoord[0].st) * gl_Color;
    gl_FragColor = vec4(c.rgb + vec3(lighten), c.a);
}

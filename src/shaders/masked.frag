#version 120
#extension GL_ARB_texture_rectangle : enable
// The picture (unit 0) kept only where the mask (unit 1) is bright: both
// multiplied channel by channel.
uniform sampler2DRect tex0;
uniform sampler2DRect tex1;
void main()
{
    gl_FragColor = texture2DRect(tex0, gl_TexCoord[0].st) * texture2DRect(tex1, gl_TexCoord[1].st);
}

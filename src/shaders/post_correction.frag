#version 120
#extension GL_ARB_texture_rectangle : enable
// Colour correction through a gradient: the lookup on unit 1 is a 1D
// texture (an N x 1 image) read at the pixel's luminance, dark on the
// left; the source on unit 0 keeps its alpha.
uniform sampler2DRect tex0;
uniform sampler1D tex1;
void main()
{
    vec4 t = texture2DRect(tex0, gl_TexCoord[0].st);
    float luma = dot(t.rgb, vec3(0.299, 0.587, 0.114));
    gl_FragColor = vec4(texture1D(tex1, luma).rgb, t.a);
}

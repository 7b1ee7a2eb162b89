#version 120
#extension GL_ARB_texture_rectangle : enable
void main()
{
    gl_FragColor = gl_Color;
}

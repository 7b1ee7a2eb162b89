#version 120
#extension GL_ARB_texture_rectangle : enable
// Vertex colours, unlit and untextured.
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_FogFragCoord = -(gl_ModelViewMatrix * gl_Vertex).z;
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}

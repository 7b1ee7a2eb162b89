#version 120
#extension GL_ARB_texture_rectangle : enable
// The rose's ribbon in one draw: every vertex carries the number of its copy
// in texture coordinate 0, and the copy's turn, size and opacity follow from
// that number. The matrix product matches translate * rotate x * rotate y *
// rotate z * scale of the copy, applied before the camera.
uniform vec3 turn;       // first copy's turns about x, y and z, degrees
uniform vec3 turn_step;  // how much less each further copy is turned, degrees
uniform vec2 size;       // first copy's size, growth per copy
uniform float stretch;   // extra scale along x
uniform float spacing;   // distance between copies along x
uniform vec4 colour;     // rgb and the base opacity
uniform float kick;      // opacity added to every copy

// The fade runs over a thousand copies whatever number is drawn.
const float FADE_COPIES = 1000.0;

vec2 turned(vec2 p, float degrees)
{
    float a = radians(degrees);
    float c = cos(a), s = sin(a);
    return vec2(c * p.x - s * p.y, s * p.x + c * p.y);
}

void main()
{
    float copy = gl_MultiTexCoord0.x;
    float s = max(size.x + copy * size.y, 0.0);
    vec3 angle = turn - copy * turn_step;
    vec3 p = gl_Vertex.xyz * vec3(s * stretch, s, s);
    p.xy = turned(p.xy, angle.z);
    p.zx = turned(p.zx, angle.y);
    p.yz = turned(p.yz, angle.x);
    p.x += copy * spacing;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(p, 1.0);
    // The first copies are the most opaque, the last fade to nothing.
    float alpha = (1.0 - 2.0 * (copy / FADE_COPIES - 0.5)) * colour.a + kick;
    gl_FrontColor = clamp(vec4(colour.rgb, alpha), 0.0, 1.0);
    gl_BackColor = gl_FrontColor;
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Texture times colour; the card's border fades out softly so its edges
// never show, and an alpha above 1 brightens the picture.
uniform sampler2D tex0;
varying float fade;
void main()
{
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    vec2 d = abs(gl_TexCoord[0].st - vec2(0.5));
    float edge = 1.0 - smoothstep(0.4, 0.5, max(d.x, d.y));
    vec3 c = t.rgb * gl_Color.rgb * max(fade, 1.0);
    gl_FragColor = vec4(c, t.a * clamp(fade, 0.0, 1.0) * edge);
}

#version 120
#extension GL_ARB_texture_rectangle : enable
// Levels on the 0-255 scale: inBlack..inWhite is stretched to the full
// range (values outside clip), bent by Gamma (above 1 brightens the
// midtones) and mapped into outBlack..outWhite. Alpha passes unchanged.
uniform sampler2DRect tex0;
uniform float inBlack;
uniform float inWhite;
uniform float Gamma;
uniform float outBlack;
uniform float outWhite;
void main()
{
    vec4 t = texture2DRect(tex0, gl_TexCoord[0].st);
    vec3 c = clamp((t.rgb * 255.0 - vec3(inBlack)) / max(inWhite - inBlack, 0.0001), 0.0, 1.0);
    c = pow(c, vec3(1.0 / max(Gamma, 0.0001)));
    c = (vec3(outBlack) + c * (outWhite - outBlack)) / 255.0;
    gl_FragColor = vec4(c, t.a);
}

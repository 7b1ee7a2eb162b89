#version 120
#extension GL_ARB_texture_rectangle : enable
// Three lightmaps packed in the red, green and blue channels of the map on
// unit 1 (same coordinates as the diffuse map on unit 0); each is weighted
// by its intensity and the sum lights the surface in lightmap_col.
uniform sampler2D tex0;
uniform sampler2D tex1;
uniform vec3 intensities;
uniform vec3 lightmap_col;
void main()
{
    vec4 t = texture2D(tex0, gl_TexCoord[0].st);
    float light = dot(texture2D(tex1, gl_TexCoord[0].st).rgb, intensities);
    vec3 c = t.rgb * (gl_FrontLightModelProduct.sceneColor.rgb + lightmap_col * light);
    gl_FragColor = vec4(c * gl_Color.rgb, t.a * gl_Color.a);
}

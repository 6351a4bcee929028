sampler2D Textur; samplerCUBE Wuerfel; float4 Farbe; int n; bool b;
row_major float3x4 z;
void main(float2 t : TEXCOORD0, float3 r : TEXCOORD1, out float4 a : COLOR0, out float4 c : COLOR1)
{ a = tex2D(Textur, t) * Farbe + texCUBE(Wuerfel, r) + n + (b ? 1 : 0); c = mul(z, a).xyzz; }

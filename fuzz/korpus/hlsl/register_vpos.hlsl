float4 nie; float4 a : register(c7); float4 b;
sampler2D s : register(s3); sampler2D t;
float4 main(float2 p : VPOS, float seite : VFACE) : COLOR0 {
  return a + b * seite + tex2D(s, p) + tex2D(t, p);
}

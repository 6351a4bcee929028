// Main pass, vertex stage: the vertex in world, camera and light space. Inputs in the order of
// the scene renderer's layout (position, normal, colour of a 40-byte vertex); the outputs after
// the position are the pixel stage's inputs, in the same order and types.
float4x4 WeltMatrix;
float4x4 SichtMatrix;
float4x4 ProjMatrix;
float4x4 gLichtTransform;

$rein float3 pos;
$rein float3 normale;
$rein float4 farbe;

$raus float4 position;
$raus float3 weltNormale;
$raus float4 vertexFarbe;
$raus float4 lichtPosition;

$main()
{
	float4 welt = mul( WeltMatrix, float4( pos, 1.0f));
	position = mul( ProjMatrix, mul( SichtMatrix, welt));
	// w = 0: the normal turns with the object but does not move with it.
	weltNormale = mul( WeltMatrix, float4( normale, 0.0f)).xyz;
	vertexFarbe = farbe;
	// The light's projection is orthographic: no division by w is needed later.
	lichtPosition = mul( gLichtTransform, welt);
}
